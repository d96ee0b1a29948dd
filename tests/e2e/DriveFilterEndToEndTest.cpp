// Voldix.exe keeps the drive filters chosen in its dialogs across a restart.
#include <gtest/gtest.h>

#include <windows.h>

#include "res/resource.h"
#include "support/RemoteProgram.h"
#include "support/StoredSettings.h"
#include "support/WindowDriver.h"

namespace {
// Opens a filter dialog of the running program through its menu command.
HWND OpenFilter(const RemoteProgram& program, UINT command, const char* title) {
    PostMessageW(program.Window(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return WaitForOwnedWindow(program.Window(), title);
}

bool Checked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Closed(HWND dialog) {
    return WaitFor([&] { return !IsWindow(dialog); }, 5000);
}
} // namespace

TEST(DriveFiltersEndToEnd, ChosenFiltersSurviveARestart) {
    {
        RemoteProgram program;
        ASSERT_TRUE(program.Start());
        ASSERT_GE(program.FindRow(L"P:\\"), 0);
        HWND letters = OpenFilter(program, ID_OPT_DRIVE_LETTERS, "Dialog");
        ASSERT_NE(letters, nullptr);
        Click(letters, IDC_LETTERS_P);
        Click(letters, IDOK);
        ASSERT_TRUE(Closed(letters));
        HWND types = OpenFilter(program, ID_OPT_DRIVE_TYPES, "Laufwerkstypen");
        ASSERT_NE(types, nullptr);
        Click(types, IDC_TYPES_NETWORK);
        Click(types, IDOK);
        ASSERT_TRUE(Closed(types));
        PostMessageW(program.Window(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit(5000));
    }
    // Letter P (bit 16) off, network drives (bit 3) on; the first-run block otherwise.
    EXPECT_EQ(ReadStoredValue(L"Options").Number(), (0x3FFFFFC6u & ~(1u << 16)) | (1u << 3));

    RemoteProgram program;
    ASSERT_TRUE(program.Start(15000, true));
    EXPECT_LT(program.FindRow(L"P:\\"), 0);
    EXPECT_GE(program.FindRow(L"N:\\"), 0);
    HWND letters = OpenFilter(program, ID_OPT_DRIVE_LETTERS, "Dialog");
    ASSERT_NE(letters, nullptr);
    EXPECT_FALSE(Checked(letters, IDC_LETTERS_P));
    EXPECT_TRUE(Checked(letters, IDC_LETTERS_Q));
    PostMessageW(letters, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(Closed(letters));
    HWND types = OpenFilter(program, ID_OPT_DRIVE_TYPES, "Laufwerkstypen");
    ASSERT_NE(types, nullptr);
    EXPECT_FALSE(Checked(types, IDC_TYPES_REMOVABLE));
    EXPECT_FALSE(Checked(types, IDC_TYPES_CDROM));
    EXPECT_TRUE(Checked(types, IDC_TYPES_NETWORK));
    PostMessageW(types, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(Closed(types));
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(5000));
}
