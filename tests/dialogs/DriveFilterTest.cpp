// The drive filter dialogs, opened from the real main window's menu and driven as a user
// would: check states and ids, OK against Esc and the close box, when the list follows.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "res/resource.h"
#include "support/MainWindow.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"

namespace {
bool Checked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Clicks a check box or button as the mouse does.
void Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    Settle(dialog);
}

// Chooses the menu command and waits for the dialog it opens.
HWND OpenFilter(HWND window, UINT command) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return WaitForOwnedWindow(window, command == ID_OPT_DRIVE_TYPES ? "Laufwerkstypen" : "Dialog");
}

// Ends the dialog with the message given and waits until the main window serves again.
void EndFilter(HWND window, HWND dialog, UINT message, WPARAM wParam) {
    PostMessageW(dialog, message, wParam, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000));
    Settle(window);
}

} // namespace

TEST(DriveFilters, FirstRunStatesEveryLetterAndOnlyOkChangesTheFlags) {
    CUsageDlg main;
    RunDialog(main, [&](HWND window) {
        const uint32_t before = main.PackOptions();
        HWND types = OpenFilter(window, ID_OPT_DRIVE_TYPES);
        ASSERT_NE(types, nullptr);
        EXPECT_FALSE(IsWindowEnabled(window));
        for (int id : {IDC_TYPES_REMOVABLE, IDC_TYPES_CDROM, IDC_TYPES_NETWORK}) {
            EXPECT_FALSE(Checked(types, id)) << id;
            Click(types, id);
        }
        EndFilter(window, types, WM_KEYDOWN, VK_ESCAPE);

        HWND letters = OpenFilter(window, ID_OPT_DRIVE_LETTERS);
        ASSERT_NE(letters, nullptr);
        // A to N are 1015 to 1028, O to Z 1041 to 1052; nothing lies between.
        for (int i = 0; i < 26; ++i) {
            const int id = i < 14 ? 1015 + i : 1041 + (i - 14);
            const char label[4] = {static_cast<char>('A' + i), ':', '\\', 0};
            EXPECT_EQ(ItemText(letters, id), label);
            EXPECT_EQ(Checked(letters, id), i >= 2) << label;
        }
        for (int id = 1029; id <= 1040; ++id)
            EXPECT_EQ(GetDlgItem(letters, id), nullptr) << id;
        for (int id : {IDC_LETTERS_A, IDC_LETTERS_C, IDC_LETTERS_Z})
            Click(letters, id);
        EndFilter(window, letters, WM_SYSCOMMAND, SC_CLOSE);
        EXPECT_EQ(main.PackOptions(), before);

        letters = OpenFilter(window, ID_OPT_DRIVE_LETTERS);
        ASSERT_NE(letters, nullptr);
        Click(letters, IDC_LETTERS_N);
        Click(letters, IDC_LETTERS_O);
        EndFilter(window, letters, WM_COMMAND, IDOK);
        // N and O are flags 13 and 14: bits 18 and 17.
        EXPECT_EQ(main.PackOptions(), before & ~((1u << 18) | (1u << 17)));
    });
}

TEST(DriveFilters, TheListFollowsAtTheNextRestart) {
    CUsageDlg main;
    RunDialog(main, [&](HWND window) {
        const ListProbe list(window);
        ASSERT_GE(list.RowOf("C:\\"), 0);
        ASSERT_EQ(list.RowOf("S:\\"), -1);
        // C:\ and the CD drive's letter off, CD-ROM drives on.
        HWND letters = OpenFilter(window, ID_OPT_DRIVE_LETTERS);
        ASSERT_NE(letters, nullptr);
        Click(letters, IDC_LETTERS_C);
        Click(letters, IDC_LETTERS_S);
        EndFilter(window, letters, WM_COMMAND, IDOK);
        HWND types = OpenFilter(window, ID_OPT_DRIVE_TYPES);
        ASSERT_NE(types, nullptr);
        Click(types, IDC_TYPES_CDROM);
        EndFilter(window, types, WM_COMMAND, IDOK);
        EXPECT_GE(list.RowOf("C:\\"), 0);

        ClickButton(window, IDC_RESTART);
        EXPECT_EQ(list.RowOf("C:\\"), -1);
        EXPECT_GE(list.RowOf("P:\\"), 0);
        // A type that is shown does not bring back a drive whose letter is off.
        EXPECT_EQ(list.RowOf("S:\\"), -1);
        letters = OpenFilter(window, ID_OPT_DRIVE_LETTERS);
        ASSERT_NE(letters, nullptr);
        Click(letters, IDC_LETTERS_S);
        EndFilter(window, letters, WM_COMMAND, IDOK);
        ClickButton(window, IDC_RESTART);
        EXPECT_GE(list.RowOf("S:\\"), 0);
    });
}
