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
    case WM_NOTIFY: return OnHeaderNotify(reinterpret_cast<const NMHDR*>(lParam));
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

LRESULT CUsageListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw, UINT dpi) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        m_barStyle = SystemShareBarStyle(dpi, GetSysColor(COLOR_WINDOW));
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        m_rowText = draw->clrText;
        m_rowTextBack = draw->clrTextBk;
        m_rowState = draw->nmcd.uItemState;
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: return OnCellPrePaint(draw);
    }
    return CDRF_DODEFAULT;
}

LRESULT CUsageListCtrl::OnCellPrePaint(NMLVCUSTOMDRAW* draw) {
    draw->clrText = m_rowText;
    draw->clrTextBk = m_rowTextBack;
    draw->nmcd.uItemState = m_rowState;
    // Only the first column shows the selection, as without custom drawing (Wine's list
    // would otherwise paint every cell of a selected row as selected).
    if (draw->iSubItem != 0)
        draw->nmcd.uItemState &= ~CDIS_SELECTED;
    if (draw->iSubItem != kShareColumn || draw->clrTextBk == CLR_NONE)
        return CDRF_DODEFAULT;
    RECT cell{LVIR_BOUNDS, kShareColumn, 0, 0};
    const int row = static_cast<int>(draw->nmcd.dwItemSpec);
    if (!SendMessage(LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell)))
        return CDRF_DODEFAULT;
    ShareBarStyle style = m_barStyle;
    if (draw->clrTextBk != CLR_DEFAULT)
        style.back = draw->clrTextBk;
    const ShareBar bar = ShareBarFor(cell, draw->nmcd.lItemlParam, style);
    if (!bar.visible)
        return CDRF_DODEFAULT;
    // The cell's background, the bar, and the list's own text over both.
    HBRUSH back = CreateSolidBrush(style.back);
    if (back) {
        FillRect(draw->nmcd.hdc, &cell, back);
        DeleteObject(back);
    }
    DrawShareBar(draw->nmcd.hdc, bar);
    draw->clrTextBk = CLR_NONE;
    return CDRF_NEWFONT;
}

LRESULT CUsageListCtrl::OnHeaderNotify(const NMHDR* header) {
    const LRESULT result = Default();
    HWND headerWindow = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    if (!header || header->hwndFrom != headerWindow ||
        (header->code != HDN_ITEMCHANGEDW && header->code != HDN_ITEMCHANGEDA))
        return result;
    // The list moves what lies right of a changed column, but a bar's length follows its
    // cell's width: the whole share column is drawn anew.
    const int column = reinterpret_cast<const NMHEADERW*>(header)->iItem;
    RECT rect;
    if (column <= kShareColumn && ::SendMessageW(headerWindow, HDM_GETITEMRECT, kShareColumn,
                                                 reinterpret_cast<LPARAM>(&rect))) {
        MapWindowPoints(headerWindow, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        RECT client;
        GetClientRect(&client);
        rect.top = client.top;
        rect.bottom = client.bottom;
        ::InvalidateRect(m_hWnd, &rect, TRUE);
    }
    return result;
}
