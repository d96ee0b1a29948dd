#include "dialogs/ConfirmDlg.h"

#include "classlib/WinText.h"
#include "res/resource.h"

CConfirmDlg::CConfirmDlg(CWnd* parent) : CTextDlg(IDD_CONFIRM, parent) {}

BOOL CConfirmDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    // The edit control breaks the text into lines at its CR LF pairs.
    ::SetWindowTextW(GetDlgItem(IDC_CONFIRM_TEXT), Widen(m_text).c_str());
    // Both buttons carry the default style, and the dialog manager makes the last of them
    // the default; "&Ja" gets the focus and the default, so that Enter answers yes.
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_CONFIRM_YES)), TRUE);
    return FALSE;
}

BOOL CConfirmDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDC_CONFIRM_YES: OnOK(); return TRUE;
    case IDC_CONFIRM_NO: OnCancel(); return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}
