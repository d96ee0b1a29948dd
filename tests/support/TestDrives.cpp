#include "TestDrives.h"

#include <cctype>

void SetOption(CUsageDlg& dialog, int flag, bool on) {
    const uint32_t bit = 1u << (kOptionFlags - 1 - flag);
    dialog.UnpackOptions(on ? dialog.PackOptions() | bit : dialog.PackOptions() & ~bit);
}

void AllowOnlyLetters(CUsageDlg& dialog, const char* letters) {
    for (int i = 0; i < 26; ++i)
        SetOption(dialog, i, false);
    for (const char* p = letters; *p; ++p)
        SetOption(dialog, std::toupper(static_cast<unsigned char>(*p)) - 'A', true);
}

void ShowTypes(CUsageDlg& dialog, bool removable, bool cdrom, bool network) {
    SetOption(dialog, kRemovableFlag, removable);
    SetOption(dialog, kCdromFlag, cdrom);
    SetOption(dialog, kNetworkFlag, network);
}

CString DriveRoot(char letter) {
    CString root;
    root.Format("%c:\\", letter);
    return root;
}
