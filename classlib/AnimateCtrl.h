#pragma once
// CAnimateCtrl: an animation control that plays an AVI clip of the program's resources.
#include <windows.h>

#include <commctrl.h>

#include "WinApp.h"
#include "Wnd.h"

// A child window of class SysAnimate32; its parent destroys it.
class CAnimateCtrl : public CWnd {
  public:
    // Creates the control as a child of parent, at rect in the parent's client area.
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_ANIMATE_CLASS};
        InitCommonControlsEx(&controls);
        m_hWnd = CreateWindowExW(0, ANIMATE_CLASSW, nullptr, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                 AfxGetInstanceHandle(), nullptr);
        return m_hWnd != nullptr;
    }
    // Opens the clip of resource type "AVI" with the given id; false when there is none.
    BOOL Open(UINT resourceId) const {
        return static_cast<BOOL>(
            SendMessage(ACM_OPENW, reinterpret_cast<WPARAM>(AfxGetInstanceHandle()),
                        reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(resourceId))));
    }
    // Plays frames from to to, repeat times (-1: endlessly); to 0xFFFF is the clip's end.
    BOOL Play(UINT from, UINT to, UINT repeat) const {
        return static_cast<BOOL>(SendMessage(ACM_PLAY, repeat, MAKELPARAM(from, to)));
    }
    BOOL Stop() const { return static_cast<BOOL>(SendMessage(ACM_STOP)); }
    BOOL IsPlaying() const { return static_cast<BOOL>(SendMessage(ACM_ISPLAYING)); }
};
