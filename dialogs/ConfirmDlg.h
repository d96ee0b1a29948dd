#pragma once
// CConfirmDlg: a yes/no question given as text.
#include "classlib/Dialog.h"
#include "classlib/String.h"

// Dialog 151, "Bitte bestätigen": ends with IDOK for "&Ja", IDCANCEL for "&Nein", Esc and
// the close box.
class CConfirmDlg : public CDialog {
  public:
    explicit CConfirmDlg(CWnd* parent = nullptr);

    // The question; its CR LF pairs break it into lines. Set before DoModal.
    void SetText(CString text) { m_text = text; }

  protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  private:
    CString m_text;
};
