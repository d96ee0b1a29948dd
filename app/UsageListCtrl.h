#pragma once
// CUsageListCtrl: the usage list of the main window; shows the hourglass over the list
// while a worker thread runs; Shift+F10 on it asks for the context menu alone; draws the
// share bar behind the cells of the share column.
#include "ShareBar.h"
#include "classlib/ListCtrl.h"

// The list view that switches between the arrow and the busy cursor.
class CUsageListCtrl : public CListCtrl {
  public:
    // Sets the busy state and changes the cursor at once, without waiting for a mouse move.
    void SetBusy(bool busy);
    // Makes cursor 149 (busy) or 147 current; false if it cannot be loaded.
    bool ApplyListCursor();
    // The list's NM_CUSTOMDRAW, which its owner passes on: the share bars, for a window
    // laid out at dpi.
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw, UINT dpi);

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnSetCursor();
    LRESULT OnSysKeyUp(WPARAM key);
    LRESULT OnCellPrePaint(NMLVCUSTOMDRAW* draw);
    // A column changed its width: the share bars follow the new width.
    LRESULT OnHeaderNotify(const NMHDR* header);

    bool m_busy = false;
    // The style of the paint under way, and what the row's drawing began with, which each
    // cell starts from again (the list keeps a cell's changes for the cells after it).
    ShareBarStyle m_barStyle;
    COLORREF m_rowText = CLR_DEFAULT, m_rowTextBack = CLR_DEFAULT;
    UINT m_rowState = 0;
};
