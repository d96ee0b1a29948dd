#pragma once
// The drives of the test prefix (made by tools/wine-env.sh): letters mapped to
// fixture folders, with their types and labels set in the prefix.
#include "app/UsageDlg.h"

// P: fixed, label "DATEN"; Q: fixed, empty label; R: removable; S: CD-ROM; N: network.
constexpr char kFixedDrive = 'P';
constexpr char kUnlabelledDrive = 'Q';
constexpr char kRemovableDrive = 'R';
constexpr char kCdromDrive = 'S';
constexpr char kNetworkDrive = 'N';
constexpr const char* kFixedLabel = "DATEN";

// Turns one option flag (app/Settings.h) of the dialog on or off.
void SetOption(CUsageDlg& dialog, int flag, bool on);
// Turns every letter flag off except the letters given.
void AllowOnlyLetters(CUsageDlg& dialog, const char* letters);
// Sets the three type filters.
void ShowTypes(CUsageDlg& dialog, bool removable, bool cdrom, bool network);
// The root path of a test drive, "P:\".
CString DriveRoot(char letter);
