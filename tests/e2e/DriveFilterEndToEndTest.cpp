// Voldix.exe keeps the drive filters chosen in its dialogs across a restart, and shows
// the error log beside it in its viewer.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "res/resource.h"
#include "support/MainWindow.h"
#include "support/RemoteProgram.h"
#include "support/StoredSettings.h"
#include "support/WindowDriver.h"

namespace {
// Opens a dialog of the running program through its menu command.
HWND Open(const RemoteProgram& program, UINT command, const char* title) {
    PostMessageW(program.Window(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return WaitForOwnedWindow(program.Window(), title);
}

bool Checked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Clicks the boxes, then the button, and waits until the dialog has gone.
bool ClickAndEnd(HWND dialog, std::initializer_list<int> boxes, int button) {
    for (int id : boxes)
        SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return WaitFor([&] { return !IsWindow(dialog); }, 5000);
}
} // namespace

TEST(DriveFiltersEndToEnd, ChosenFiltersSurviveARestart) {
    {
        RemoteProgram program;
        ASSERT_TRUE(program.Start());
        HWND letters = Open(program, ID_OPT_DRIVE_LETTERS, "Dialog");
        ASSERT_TRUE(letters && ClickAndEnd(letters, {IDC_LETTERS_P}, IDOK));
        HWND types = Open(program, ID_OPT_DRIVE_TYPES, "Laufwerkstypen");
        ASSERT_TRUE(types && ClickAndEnd(types, {IDC_TYPES_NETWORK}, IDOK));
        PostMessageW(program.Window(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit(5000));
    }
    // Letter P (bit 16) off, network drives (bit 3) on; the first-run block otherwise.
    EXPECT_EQ(ReadStoredValue(L"Options").Number(), (0x3FFFFFC6u & ~(1u << 16)) | (1u << 3));

    RemoteProgram program;
    ASSERT_TRUE(program.Start(15000, true));
    EXPECT_LT(ListProbe(program.Window()).RowOf("P:\\"), 0);
    EXPECT_GE(ListProbe(program.Window()).RowOf("N:\\"), 0);
    HWND letters = Open(program, ID_OPT_DRIVE_LETTERS, "Dialog");
    ASSERT_NE(letters, nullptr);
    EXPECT_FALSE(Checked(letters, IDC_LETTERS_P));
    EXPECT_TRUE(Checked(letters, IDC_LETTERS_Q));
    ASSERT_TRUE(ClickAndEnd(letters, {}, IDCANCEL));
    HWND types = Open(program, ID_OPT_DRIVE_TYPES, "Laufwerkstypen");
    ASSERT_NE(types, nullptr);
    EXPECT_TRUE(!Checked(types, IDC_TYPES_REMOVABLE) && !Checked(types, IDC_TYPES_CDROM) &&
                Checked(types, IDC_TYPES_NETWORK));
    ASSERT_TRUE(ClickAndEnd(types, {}, IDCANCEL));
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(5000));
}

TEST(LogViewerEndToEnd, ShowsTheLogBesideTheProgram) {
    const std::wstring path = BesideTestProgram(L"Voldix.log");
    std::ofstream(path.c_str(), std::ios::binary)
        << "<05.03.2007 14:07:09>: \"P:\\\xc3\x9c.xls\".\r\n";
    RemoteProgram program;
    ASSERT_TRUE(program.Start());
    HWND viewer = Open(program, ID_OPT_LOG, "Fehlerprotokoll");
    ASSERT_NE(viewer, nullptr);
    // Sent, not GetWindowText: the control is another process's window.
    wchar_t text[64] = L"";
    SendMessageW(GetDlgItem(viewer, IDC_LOG_TEXT), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"<05.03.2007 14:07:09>: \"P:\\Ü.xls\".\r\n");
    EXPECT_TRUE(ClickAndEnd(viewer, {}, IDOK));
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(5000));
    DeleteFileW(path.c_str());
}
