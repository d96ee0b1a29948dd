#include "AnimateCtrl.h"

#include <commctrl.h>

#include "WinApp.h"

BOOL CAnimateCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_ANIMATE_CLASS};
    InitCommonControlsEx(&controls);
    HWND window = CreateWindowExW(0, ANIMATE_CLASSW, nullptr, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  AfxGetInstanceHandle(), nullptr);
    // Subclassed, so that the handle is let go of when the window is destroyed.
    if (window && SubclassWindow(window))
        return TRUE;
    if (window)
        DestroyWindow(window);
    return FALSE;
}

BOOL CAnimateCtrl::Open(UINT resourceId) {
    // Instance 0: the module the control was created for, the program itself.
    return m_hWnd &&
           SendMessage(ACM_OPENW, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(resourceId))) != 0;
}

BOOL CAnimateCtrl::Play(UINT from, UINT to, UINT repeat) {
    return m_hWnd && SendMessage(ACM_PLAY, repeat, MAKELPARAM(from, to)) != 0;
}

BOOL CAnimateCtrl::Seek(UINT frame) {
    return Play(frame, frame, 1);
}

BOOL CAnimateCtrl::Stop() {
    return m_hWnd && SendMessage(ACM_STOP) != 0;
}

BOOL CAnimateCtrl::Close() {
    return m_hWnd && SendMessage(ACM_OPENW, 0, 0) != 0;
}
