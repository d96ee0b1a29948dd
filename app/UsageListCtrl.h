#pragma once
// CUsageListCtrl: the usage list of the main window; shows the hourglass over the list
// while a worker thread runs; Shift+F10 on it asks for the context menu alone.
#include "classlib/ListCtrl.h"

// The list view that switches between the arrow and the busy cursor.
class CUsageListCtrl : public CListCtrl {
  public:
    // Sets the busy state and changes the cursor at once, without waiting for a mouse move.
    void SetBusy(bool busy);
    // Makes cursor 149 (busy) or 147 current; false if it cannot be loaded.
    bool ApplyListCursor();

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnSetCursor();
    LRESULT OnSysKeyUp(WPARAM key);

    bool m_busy = false;
};
