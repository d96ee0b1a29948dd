#pragma once
// CTextDlg: the base of the dialogs that show a text the caller gives them.
#include "classlib/Dialog.h"
#include "classlib/String.h"

// A dialog and the text it shows; the caller sets the text before DoModal.
class CTextDlg : public CDialog {
  public:
    using CDialog::CDialog;
    void SetText(const CString& text) { m_text = text; }

  protected:
    CString m_text;
};
