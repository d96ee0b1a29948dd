#include "dialogs/DriveTypesDlg.h"

#include "res/resource.h"

CDriveTypesDlg::CDriveTypesDlg(CWnd* parent) : CDialog(IDD_DRIVE_TYPES, parent) {}

void CDriveTypesDlg::SetTypeFlags(bool removable, bool cdrom, bool network) {
    m_removable = removable;
    m_cdrom = cdrom;
    m_network = network;
}

void CDriveTypesDlg::GetTypeFlags(bool& removable, bool& cdrom, bool& network) const {
    removable = m_removable;
    cdrom = m_cdrom;
    network = m_network;
}

BOOL CDriveTypesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    CheckDlgButton(m_hWnd, IDC_TYPES_REMOVABLE, m_removable ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_TYPES_CDROM, m_cdrom ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_TYPES_NETWORK, m_network ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CDriveTypesDlg::OnOK() {
    m_removable = IsDlgButtonChecked(m_hWnd, IDC_TYPES_REMOVABLE) == BST_CHECKED;
    m_cdrom = IsDlgButtonChecked(m_hWnd, IDC_TYPES_CDROM) == BST_CHECKED;
    m_network = IsDlgButtonChecked(m_hWnd, IDC_TYPES_NETWORK) == BST_CHECKED;
    CDialog::OnOK();
}
