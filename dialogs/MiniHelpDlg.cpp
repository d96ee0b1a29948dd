#include "dialogs/MiniHelpDlg.h"

#include "dialogs/FrameAnimation.h"
#include "res/resource.h"

CMiniHelpDlg::CMiniHelpDlg(CWnd* parent) : CTextDlg(IDD_MINIHELP, parent) {}

BOOL CMiniHelpDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetItemText(m_hWnd, IDC_HELP_TEXT, m_text);
    PlayInFrame(m_hWnd, IDC_HELP_ANIMATION, IDR_AVI_HELP, m_animate);
    return TRUE;
}
