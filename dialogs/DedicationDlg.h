#pragma once
// CDedicationDlg: the one-line dedication above an animation.
#include "classlib/AnimateCtrl.h"
#include "classlib/Dialog.h"

// The dedication, opened from the About box.
class CDedicationDlg : public CDialog {
  public:
    explicit CDedicationDlg(CWnd* parent = nullptr);

  protected:
    BOOL OnInitDialog() override;

  private:
    CAnimateCtrl m_animate;
};
