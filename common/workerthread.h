#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

// Long work (a send, an import) on a thread of its own, so that no window waits on the network
// or the disk. What the work reports comes back to the thread that owns this object through
// queued calls; once it is over, the thread is joined before the ending is delivered.
class WorkerThread : public QObject
{
    Q_OBJECT

public:
    explicit WorkerThread(QObject *parent = nullptr) : QObject(parent) {}
    ~WorkerThread() override; // asks the work to stop and waits for its end

    // Runs `work` on a new thread; does nothing while work is running. `work` may call post()
    // to report and reads `stop` to end early; what it returns runs afterwards in this object's
    // thread.
    using Work = std::function<std::function<void()>(const std::atomic_bool &stop)>;
    void start(Work work);
    // Runs `call` in this object's thread, later; dropped when this object is gone.
    void post(std::function<void()> call);
    void requestStop();
    bool isRunning() const { return m_thread != nullptr; }

private:
    QThread *m_thread = nullptr;
    std::shared_ptr<std::atomic_bool> m_stop;
};
