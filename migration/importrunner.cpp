#include "migration/importrunner.h"

namespace migration {

ImportRunner::ImportRunner(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<migration::ImportOutcome>();
}

ImportRunner::~ImportRunner() = default;

void ImportRunner::start(Work work)
{
    m_worker.start([this, work = std::move(work)](const std::atomic_bool &stop) {
        const ImportProgress progress = [this, &stop](qint64 done, qint64 total) {
            m_worker.post([this, done, total] { Q_EMIT this->progress(done, total); });
            return !stop.load();
        };
        const db::Result<ImportSummary> result = work(progress);
        ImportOutcome outcome;
        outcome.ok = result.ok();
        if (result)
            outcome.summary = *result;
        else
            outcome.message = result.message();
        return std::function<void()>([this, outcome] { Q_EMIT finished(outcome); });
    });
}

} // namespace migration
