#pragma once

#include "common/workerthread.h"
#include "mail/mailbatch.h"

#include <QObject>

namespace mail {

// Runs sendToEach() on a thread of its own, so that no window waits on the network, and tells
// the progress and the end through queued signals in the thread that owns it.
class MailSender : public QObject
{
    Q_OBJECT

public:
    explicit MailSender(QObject *parent = nullptr);
    ~MailSender() override; // cancels a batch still running and waits for its end

    // Does nothing while a batch is running.
    void start(const SmtpSettings &settings, const MailDraft &draft,
               const QList<MailAddress> &recipients);
    void cancel() { m_worker.requestStop(); }
    bool isRunning() const { return m_worker.isRunning(); }

Q_SIGNALS:
    void progress(int index, int total); // the message to recipient `index` is being sent
    void finished(const QList<mail::RecipientOutcome> &outcomes);

private:
    WorkerThread m_worker;
};

} // namespace mail
