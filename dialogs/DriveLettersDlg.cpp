#include "dialogs/DriveLettersDlg.h"

#include "res/resource.h"

CDriveLettersDlg::CDriveLettersDlg(CWnd* parent) : CDialog(IDD_DRIVE_LETTERS, parent) {
    for (int i = 0; i < 14; ++i)
        m_checkIds[i] = IDC_LETTERS_A + i;
    for (int i = 14; i < 26; ++i)
        m_checkIds[i] = IDC_LETTERS_O + (i - 14);
}

void CDriveLettersDlg::SetLetterFlags(const bool* letters) {
    for (int i = 0; i < 26; ++i)
        m_letters[i] = letters[i];
}

void CDriveLettersDlg::GetLetterFlags(bool* letters) const {
    for (int i = 0; i < 26; ++i)
        letters[i] = m_letters[i];
}

BOOL CDriveLettersDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    for (int i = 0; i < 26; ++i)
        CheckDlgButton(m_hWnd, m_checkIds[i], m_letters[i] ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CDriveLettersDlg::OnOK() {
    for (int i = 0; i < 26; ++i)
        m_letters[i] = IsDlgButtonChecked(m_hWnd, m_checkIds[i]) == BST_CHECKED;
    CDialog::OnOK();
}
