#include "mail/mailsender.h"

#include <QPointer>
#include <QThread>

namespace mail {

MailSender::MailSender(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<QList<mail::RecipientOutcome>>();
}

MailSender::~MailSender()
{
    if (m_thread) {
        cancel();
        m_thread->wait();
        delete m_thread;
    }
}

void MailSender::start(const SmtpSettings &settings, const MailDraft &draft,
                       const QList<MailAddress> &recipients)
{
    if (m_thread)
        return;
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    m_cancelled = cancelled;
    QPointer<MailSender> self(this);
    m_thread = QThread::create([self, cancelled, settings, draft, recipients] {
        BatchProgress progress;
        progress.keepGoing = [cancelled] { return !cancelled->load(); };
        progress.starting = [self](int index, int total) {
            if (self)
                QMetaObject::invokeMethod(
                    self,
                    [self, index, total] {
                        if (self)
                            Q_EMIT self->progress(index, total);
                    },
                    Qt::QueuedConnection);
        };
        const QList<RecipientOutcome> outcomes = sendToEach(settings, draft, recipients, progress);
        if (self)
            QMetaObject::invokeMethod(
                self,
                [self, outcomes] {
                    if (!self)
                        return;
                    if (self->m_thread) {
                        self->m_thread->wait();
                        delete self->m_thread;
                        self->m_thread = nullptr;
                    }
                    Q_EMIT self->finished(outcomes);
                },
                Qt::QueuedConnection);
    });
    m_thread->start();
}

void MailSender::cancel()
{
    if (m_cancelled)
        m_cancelled->store(true);
}

} // namespace mail
