#include "dialogs/DedicationDlg.h"

#include "dialogs/FrameAnimation.h"
#include "res/resource.h"

CDedicationDlg::CDedicationDlg(CWnd* parent) : CDialog(IDD_DEDICATION, parent) {}

BOOL CDedicationDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PlayInFrame(m_hWnd, IDC_DEDICATION_ANIMATION, IDR_AVI_DEDICATION, m_animate);
    return TRUE;
}
