#include "WorkerThread.h"

bool CWorkerThread::Start(LPTHREAD_START_ROUTINE proc, void* param) {
    // The previous run has reported its end; its thread is on its way out.
    Wait();
    m_stop = false;
    m_thread.Reset(CreateThread(nullptr, 0, proc, param, 0, nullptr));
    return m_thread.IsValid();
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
