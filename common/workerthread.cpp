#include "common/workerthread.h"

#include <QPointer>
#include <QThread>

WorkerThread::~WorkerThread()
{
    if (m_thread) {
        requestStop();
        m_thread->wait();
        delete m_thread;
    }
}

void WorkerThread::start(Work work)
{
    if (m_thread)
        return;
    auto stop = std::make_shared<std::atomic_bool>(false);
    m_stop = stop;
    QPointer<WorkerThread> self(this);
    m_thread = QThread::create([self, stop, work = std::move(work)] {
        std::function<void()> ending = work(*stop);
        if (!self)
            return;
        QMetaObject::invokeMethod(
            self,
            [self, ending = std::move(ending)] {
                if (!self)
                    return;
                if (self->m_thread) {
                    self->m_thread->wait();
                    delete self->m_thread;
                    self->m_thread = nullptr;
                }
                if (ending)
                    ending();
            },
            Qt::QueuedConnection);
    });
    m_thread->start();
}

void WorkerThread::post(std::function<void()> call)
{
    QPointer<WorkerThread> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, call = std::move(call)] {
            if (self)
                call();
        },
        Qt::QueuedConnection);
}

void WorkerThread::requestStop()
{
    if (m_stop)
        m_stop->store(true);
}
