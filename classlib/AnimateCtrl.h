#pragma once
// CAnimateCtrl: the animation control, which plays a silent AVI clip from the program's
// resources on a thread of its own.
#include <windows.h>

#include "Wnd.h"

// An animation control created as a child window at run time.
class CAnimateCtrl : public CWnd {
  public:
    // Creates the control (styles WS_CHILD, WS_VISIBLE, ACS_...) in parent's client area.
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    // Opens the AVI resource of that id from the program's resources; FALSE if it is
    // missing or cannot be played.
    BOOL Open(UINT resourceId);
    // Plays frames from to to (0xFFFF: the last frame), repeat times (-1: without end).
    BOOL Play(UINT from, UINT to, UINT repeat);
    // Shows one frame and stops there.
    BOOL Seek(UINT frame);
    BOOL Stop();
    // Closes the clip; the control then shows nothing.
    BOOL Close();
};
