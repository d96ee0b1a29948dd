#pragma once
// CWorkerThread: a thread that the main thread starts, asks to stop and waits for.
#include <windows.h>

#include <atomic>
#include <functional>

#include "Handle.h"

// Owns the thread's handle and the stop flag that the work reads; the thread owns the
// work it runs. The waits serve the messages the thread sends to the waiting thread, so that a
// thread blocked in SendMessage to the waiting thread's windows ends instead of deadlocking the
// wait.
class CWorkerThread {
  public:
    ~CWorkerThread() { Stop(); }

    // Waits for the thread of the previous run, then runs work on a new thread with the
    // stop flag cleared; false when no thread can be had (work is then not run).
    bool Start(std::function<void()> work);
    // The flag the work reads: set once the work is to end.
    const std::atomic<bool>& StopFlag() const { return m_stop; }
    bool StopRequested() const { return m_stop.load(); }
    // Sets the stop flag without waiting for the thread.
    void RequestStop() { m_stop = true; }
    // Sets the stop flag and waits for the thread, if one was started, to end; false,
    // without waiting, when called again during that wait (from a message it serves).
    bool Stop();
    // Lets the thread go on alone: sets the stop flag, then forgets the thread without
    // waiting for it. For work blocked in a call that nothing can interrupt; such work
    // must own everything it uses (this object and its stop flag are soon gone).
    void Detach();

  private:
    static DWORD WINAPI Run(LPVOID param);
    void Wait();

    CHandle m_thread;
    std::atomic<bool> m_stop{false};
    bool m_waiting = false;
};
