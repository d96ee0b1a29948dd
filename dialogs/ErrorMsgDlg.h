#pragma once
// CErrorMsgDlg: an error text above the blinking red lamp, closed by a click on the lamp,
// Enter, Esc or the close box.
#include "classlib/AnimateCtrl.h"
#include "dialogs/TextDlg.h"

// Dialog 153, "Fehlermeldung": informs only; its result means nothing.
class CErrorMsgDlg : public CTextDlg {
  public:
    explicit CErrorMsgDlg(CWnd* parent = nullptr);

  protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  private:
    CAnimateCtrl m_animate;
};

// The clip of the lamp drawn for a screen of this DPI: 28, 42 or 56 pixels.
UINT LampClipForDpi(UINT dpi);
