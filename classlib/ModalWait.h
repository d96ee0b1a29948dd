#pragma once
// WaitModally: a window thread waits for a worker as a modal message box would.
#include <windows.h>

// How a modal wait ended.
enum class WaitEnd { Signalled, TimedOut, Closing };

// Waits at most limitMs for done (an event or a thread) while the calling thread serves
// its messages: owner (may be null) is disabled as under a modal box, keeps painting and
// answering, shows the wait cursor, and its input and commands are refused. A request to
// close owner (WM_CLOSE, SC_CLOSE, IDCANCEL) or to end the thread's message loop
// (WM_QUIT), and owner being hidden or destroyed, end the wait at once with Closing; a
// request is posted again once the wait has ended.
WaitEnd WaitModally(HWND owner, HANDLE done, DWORD limitMs);
