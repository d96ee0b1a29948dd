#include "UsageListCtrl.h"

#include "classlib/WinApp.h"
#include "res/resource.h"

void CUsageListCtrl::SetBusy(bool busy) {
    m_busy = busy;
    ApplyListCursor();
}

bool CUsageListCtrl::ApplyListCursor() {
    UINT id = m_busy ? IDC_CURSOR_BUSY : IDC_CURSOR_ARROW;
    HCURSOR cursor = LoadCursorW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id));
    if (!cursor)
        return false;
    SetCursor(cursor);
    return true;
}

LRESULT CUsageListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR: return OnSetCursor();
    case WM_SYSKEYUP: return OnSysKeyUp(wParam);
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}

LRESULT CUsageListCtrl::OnSetCursor() {
    return ApplyListCursor() ? TRUE : Default();
}

// Shift+F10 asked for the context menu when it was pressed; its release must not also
// open the menu bar, as a release of F10 alone does.
LRESULT CUsageListCtrl::OnSysKeyUp(WPARAM key) {
    if (key == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000))
        return 0;
    return Default();
}
