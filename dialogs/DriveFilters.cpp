// CUsageDlg, drive filter section: the two commands that let the user choose which
// drives the drive list shows. The list itself is rebuilt only by "&Neustart" or the
// next return to the drive list; the flags are stored when the main window closes.
#include "app/UsageDlg.h"
#include "dialogs/DriveLettersDlg.h"
#include "dialogs/DriveTypesDlg.h"

void CUsageDlg::OnDriveTypes() {
    CDriveTypesDlg dialog(this);
    dialog.SetTypeFlags(m_showRemovable, m_showCdrom, m_showNetwork);
    if (dialog.DoModal() == IDOK)
        dialog.GetTypeFlags(m_showRemovable, m_showCdrom, m_showNetwork);
}

void CUsageDlg::OnDriveLetters() {
    CDriveLettersDlg dialog(this);
    dialog.SetLetterFlags(m_driveLetters);
    if (dialog.DoModal() == IDOK)
        dialog.GetLetterFlags(m_driveLetters);
}
