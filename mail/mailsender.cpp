#include "mail/mailsender.h"

namespace mail {

MailSender::MailSender(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<QList<mail::RecipientOutcome>>();
}

MailSender::~MailSender() = default;

void MailSender::start(const SmtpSettings &settings, const MailDraft &draft,
                       const QList<MailAddress> &recipients)
{
    m_worker.start([this, settings, draft, recipients](const std::atomic_bool &stop) {
        BatchProgress progress;
        progress.keepGoing = [&stop] { return !stop.load(); };
        progress.starting = [this](int index, int total) {
            m_worker.post([this, index, total] { Q_EMIT this->progress(index, total); });
        };
        const QList<RecipientOutcome> outcomes = sendToEach(settings, draft, recipients, progress);
        return std::function<void()>([this, outcomes] { Q_EMIT finished(outcomes); });
    });
}

} // namespace mail
