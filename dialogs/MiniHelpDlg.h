#pragma once
// CMiniHelpDlg: the mini help, a short text beside an animation.
#include "classlib/AnimateCtrl.h"
#include "dialogs/TextDlg.h"

// The mini help; the caller gives it its text before DoModal.
class CMiniHelpDlg : public CTextDlg {
  public:
    explicit CMiniHelpDlg(CWnd* parent = nullptr);

  protected:
    BOOL OnInitDialog() override;

  private:
    CAnimateCtrl m_animate;
};
