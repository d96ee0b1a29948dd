#pragma once
// CMiniHelpDlg: the mini help, a short text beside an animation.
#include "classlib/AnimateCtrl.h"
#include "classlib/Dialog.h"
#include "classlib/String.h"

// The mini help; the caller gives it its text before DoModal.
class CMiniHelpDlg : public CDialog {
  public:
    explicit CMiniHelpDlg(CWnd* parent = nullptr);
    void SetText(const CString& text) { m_text = text; }

  protected:
    BOOL OnInitDialog() override;

  private:
    CString m_text;
    CAnimateCtrl m_animate;
};
