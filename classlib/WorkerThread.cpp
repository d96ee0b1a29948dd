#include "WorkerThread.h"

#include <memory>
#include <utility>

bool CWorkerThread::Start(std::function<void()> work) {
    // The previous run has reported its end; its thread is on its way out.
    Wait();
    m_stop = false;
    auto* owned = new std::function<void()>(std::move(work));
    m_thread.Reset(CreateThread(nullptr, 0, &CWorkerThread::Run, owned, 0, nullptr));
    if (!m_thread.IsValid())
        delete owned;
    return m_thread.IsValid();
}

DWORD WINAPI CWorkerThread::Run(LPVOID param) {
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(param));
    (*work)();
    return 0;
}

bool CWorkerThread::Stop() {
    if (m_waiting)
        return false;
    if (!m_thread.IsValid())
        return true;
    m_stop = true;
    m_waiting = true;
    Wait();
    m_waiting = false;
    return true;
}

void CWorkerThread::Detach() {
    m_stop = true;
    m_thread.Reset();
}

void CWorkerThread::Wait() {
    if (!m_thread.IsValid())
        return;
    HANDLE thread = m_thread.Get();
    // Serve the messages the thread sends (and only those) until it has ended.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    m_thread.Reset();
}
