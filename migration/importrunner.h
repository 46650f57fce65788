#pragma once

#include "common/workerthread.h"
#include "migration/jetimport.h"

#include <QObject>

namespace migration {

// How an import ended, as the window reports it.
struct ImportOutcome
{
    bool ok = false;
    QString message; // why it failed or was stopped
    ImportSummary summary;
};

// Runs an import on a thread of its own and reports its progress and its end by queued
// signals, so that the window never waits on the disk or the server.
class ImportRunner : public QObject
{
    Q_OBJECT

public:
    // The import itself, handed the progress to report (which says when to stop).
    using Work = std::function<db::Result<ImportSummary>(const ImportProgress &progress)>;

    explicit ImportRunner(QObject *parent = nullptr);
    ~ImportRunner() override; // stops an import still running and waits for its end

    // Does nothing while an import is running.
    void start(Work work);
    // Asks the import to stop: it then writes nothing.
    void cancel() { m_worker.requestStop(); }
    bool isRunning() const { return m_worker.isRunning(); }

Q_SIGNALS:
    void progress(qint64 done, qint64 total);
    void finished(const migration::ImportOutcome &outcome);

private:
    WorkerThread m_worker;
};

} // namespace migration

Q_DECLARE_METATYPE(migration::ImportOutcome)
