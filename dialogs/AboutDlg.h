#pragma once
// CAboutDlg: the About box with the program's version, comment and copyright line from
// its version resource, beside a looping animation.
#include "classlib/AnimateCtrl.h"
#include "classlib/Dialog.h"

// The About box; a right double-click in it opens the dedication over it.
class CAboutDlg : public CDialog {
  public:
    CAboutDlg();

  protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnRButtonDblClk();

    CAnimateCtrl m_animate;
};

// The address the About box offers for feedback.
extern const char kFeedbackAddress[];
