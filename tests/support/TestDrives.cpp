#include "TestDrives.h"

#include <cctype>

void AllowOnlyLetters(CUsageDlg& dialog, const char* letters) {
    for (int i = 0; i < 26; ++i)
        dialog.m_driveLetters[i] = false;
    for (const char* p = letters; *p; ++p)
        dialog.m_driveLetters[std::toupper(static_cast<unsigned char>(*p)) - 'A'] = true;
}

void ShowTypes(CUsageDlg& dialog, bool removable, bool cdrom, bool network) {
    dialog.m_showRemovable = removable;
    dialog.m_showCdrom = cdrom;
    dialog.m_showNetwork = network;
}

CString DriveRoot(char letter) {
    CString root;
    root.Format("%c:\\", letter);
    return root;
}
