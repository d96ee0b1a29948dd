#pragma once
// CConfirmDlg: the yes/no question before the bulk read-only change, or any other
// question given as text.
#include "attrib/AttribMode.h"
#include "classlib/Dialog.h"
#include "classlib/String.h"

// Dialog 151, "Bitte bestätigen": ends with IDOK for "&Ja", IDCANCEL for "&Nein", Esc and
// the close box.
class CConfirmDlg : public CDialog {
  public:
    explicit CConfirmDlg(CWnd* parent = nullptr);

    // Chooses the verb of the read-only question.
    void SetMode(AttribMode mode) { m_mode = mode; }
    // Asks this text instead of the read-only question.
    void SetText(CString text);
    // The text the dialog shows.
    CString Question() const;

  protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  private:
    CString m_text;
    AttribMode m_mode = AttribSet;
    bool m_useModeText = true;
};
