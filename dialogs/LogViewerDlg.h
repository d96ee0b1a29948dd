#pragma once
// CLogViewerDlg: the resizable window that shows the error log and deletes it on request.
#include <string>

#include "classlib/Dialog.h"
#include "classlib/Dpi.h"
#include "classlib/String.h"

// Dialog 154 with menu 155: the whole log in a rich edit control and an OK button. The
// log is read once when the window opens; an unreadable log ends it before it shows.
class CLogViewerDlg : public CDialog {
  public:
    explicit CLogViewerDlg(CWnd* parent = nullptr);

    // The log file to show and to delete; set before DoModal.
    void SetPath(CString path) { m_path = path; }
    // Reads the whole file into text, up to its first zero byte. An unreadable file
    // shows the error message and gives false; a file too large to hold in memory gives
    // an empty text.
    bool LoadLog(CString& text);

  protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnSize(WPARAM type);
    LRESULT OnGetMinMaxInfo(MINMAXINFO* info);
    // The window moved to a screen of another scale: its rectangle, font and controls follow.
    LRESULT OnDpiChanged(WPARAM dpi, const RECT* suggested);
    void OnLogClose();
    void OnLogDelete();
    // Puts the loaded text into the rich edit control, shown from its first line.
    void ShowText();

    bool m_initialized = false;
    // The DPI the window is laid out for, and its font once a DPI change has made it anew.
    UINT m_dpi = kDesignDpi;
    CDpiFont m_dpiFont;
    CString m_text;
    CString m_path;
    // The window over which the viewer opens; the error message belongs to it, since
    // the viewer itself is not shown yet when the message comes up.
    CWnd* m_owner;
};
