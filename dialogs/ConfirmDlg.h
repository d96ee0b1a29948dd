#pragma once
// CConfirmDlg: a yes/no question given as text.
#include "dialogs/TextDlg.h"

// Dialog 151, "Bitte bestätigen": ends with IDOK for "&Ja", IDCANCEL for "&Nein", Esc and
// the close box.
class CConfirmDlg : public CTextDlg {
  public:
    // The question is the text (SetText); its CR LF pairs break it into lines.
    explicit CConfirmDlg(CWnd* parent = nullptr);

  protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};
