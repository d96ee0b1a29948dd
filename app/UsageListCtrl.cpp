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
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}

LRESULT CUsageListCtrl::OnSetCursor() {
    return ApplyListCursor() ? TRUE : Default();
}
