// The drive filter dialogs, opened from the real main window's menu and driven as a user
// would: check states, OK against Esc and the close box, and when the list follows.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/DriveLettersDlg.h"
#include "res/resource.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"

namespace {
// The id each letter's box must have: A to N from 1015, O to Z from 1041.
int ExpectedLetterId(int index) {
    return index < 14 ? 1015 + index : 1041 + (index - 14);
}

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

// Ends the dialog the given way and waits until the main window is serving again.
void EndFilter(HWND window, HWND dialog, const char* how) {
    const std::string way = how;
    if (way == "OK")
        Click(dialog, IDOK);
    else if (way == "Esc")
        PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    else
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000)) << how;
    Settle(window);
}

std::vector<std::string> ListedDrives(CUsageDlg& dialog) {
    std::vector<std::string> drives;
    for (int row = 0; row < dialog.m_list.GetItemCount(); ++row)
        drives.push_back(dialog.m_list.GetItemText(row, 0).str());
    return drives;
}

bool Listed(CUsageDlg& dialog, const char* root) {
    for (const std::string& drive : ListedDrives(dialog))
        if (drive == root)
            return true;
    return false;
}
} // namespace

TEST(DriveFilters, FirstRunStatesAndTheBoxOfEveryLetter) {
    CUsageDlg main;
    RunDialog(main, [&](HWND window) {
        HWND types = OpenFilter(window, ID_OPT_DRIVE_TYPES);
        ASSERT_NE(types, nullptr);
        EXPECT_FALSE(IsWindowEnabled(window));
        for (int id : {IDC_TYPES_REMOVABLE, IDC_TYPES_CDROM, IDC_TYPES_NETWORK})
            EXPECT_FALSE(Checked(types, id)) << id;
        EXPECT_EQ(WindowTitle(GetDlgItem(types, IDC_TYPES_CDROM)), "CDROM/DVD");
        EndFilter(window, types, "OK");

        HWND letters = OpenFilter(window, ID_OPT_DRIVE_LETTERS);
        ASSERT_NE(letters, nullptr);
        for (int i = 0; i < 26; ++i) {
            HWND box = GetDlgItem(letters, ExpectedLetterId(i));
            ASSERT_NE(box, nullptr) << i;
            const char label[4] = {static_cast<char>('A' + i), ':', '\\', 0};
            EXPECT_EQ(WindowTitle(box), label);
            EXPECT_EQ(Checked(letters, ExpectedLetterId(i)), i >= 2) << label;
        }
        EXPECT_EQ(IDC_LETTERS_O, 1041);
        for (int id = 1029; id <= 1040; ++id)
            EXPECT_EQ(GetDlgItem(letters, id), nullptr) << id;
        EndFilter(window, letters, "Esc");
    });
}

TEST(DriveFilters, LettersGoInAndComeOutIndexByIndex) {
    bool in[26], out[26];
    for (int i = 0; i < 26; ++i)
        in[i] = i % 3 == 0;
    CDriveLettersDlg dialog;
    dialog.SetLetterFlags(in);
    const INT_PTR result = RunDialog(dialog, [&](HWND window) {
        for (int i = 0; i < 26; ++i) {
            EXPECT_EQ(dialog.CheckId(i), ExpectedLetterId(i));
            EXPECT_EQ(Checked(window, ExpectedLetterId(i)), in[i]) << char('A' + i);
        }
        // O:\ sits right after a run of ids that are not letters.
        Click(window, IDC_LETTERS_O);
        Click(window, IDC_LETTERS_N);
        Click(window, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    dialog.GetLetterFlags(out);
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(out[i], in[i] != (i == 13 || i == 14)) << char('A' + i);
}

TEST(DriveFilters, OnlyOkChangesTheFlags) {
    CUsageDlg main;
    RunDialog(main, [&](HWND window) {
        bool before[32];
        std::copy(main.m_driveLetters, main.m_driveLetters + 32, before);
        for (const char* how : {"Esc", "close box"}) {
            HWND types = OpenFilter(window, ID_OPT_DRIVE_TYPES);
            ASSERT_NE(types, nullptr);
            for (int id : {IDC_TYPES_REMOVABLE, IDC_TYPES_CDROM, IDC_TYPES_NETWORK})
                Click(types, id);
            EndFilter(window, types, how);
            HWND letters = OpenFilter(window, ID_OPT_DRIVE_LETTERS);
            ASSERT_NE(letters, nullptr);
            for (int id : {IDC_LETTERS_A, IDC_LETTERS_C, IDC_LETTERS_Z})
                Click(letters, id);
            EndFilter(window, letters, how);
            EXPECT_TRUE(std::equal(before, before + 32, main.m_driveLetters)) << how;
        }

        HWND types = OpenFilter(window, ID_OPT_DRIVE_TYPES);
        ASSERT_NE(types, nullptr);
        Click(types, IDC_TYPES_NETWORK);
        EndFilter(window, types, "OK");
        // Only the network flag changed, in its slot of the block.
        before[28] = true;
        EXPECT_TRUE(std::equal(before, before + 32, main.m_driveLetters));
    });
}

TEST(DriveFilters, TheListFollowsAtTheNextRestart) {
    CUsageDlg main;
    RunDialog(main, [&](HWND window) {
        ASSERT_TRUE(Listed(main, "C:\\"));
        ASSERT_FALSE(Listed(main, "S:\\"));
        const std::vector<std::string> shown = ListedDrives(main);

        // C:\ and the CD drive's letter off, CD-ROM drives on.
        HWND letters = OpenFilter(window, ID_OPT_DRIVE_LETTERS);
        ASSERT_NE(letters, nullptr);
        Click(letters, IDC_LETTERS_C);
        Click(letters, IDC_LETTERS_S);
        EndFilter(window, letters, "OK");
        HWND types = OpenFilter(window, ID_OPT_DRIVE_TYPES);
        ASSERT_NE(types, nullptr);
        Click(types, IDC_TYPES_CDROM);
        EndFilter(window, types, "OK");
        EXPECT_EQ(ListedDrives(main), shown);

        ClickButton(window, IDC_RESTART);
        EXPECT_FALSE(Listed(main, "C:\\"));
        EXPECT_TRUE(Listed(main, "P:\\"));
        // A type that is shown does not bring back a drive whose letter is off.
        EXPECT_FALSE(Listed(main, "S:\\"));

        letters = OpenFilter(window, ID_OPT_DRIVE_LETTERS);
        ASSERT_NE(letters, nullptr);
        Click(letters, IDC_LETTERS_S);
        EndFilter(window, letters, "OK");
        ClickButton(window, IDC_RESTART);
        EXPECT_TRUE(Listed(main, "S:\\"));
    });
}
