// Voldix.exe shows the error log beside it in its viewer and deletes it on request.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "res/resource.h"
#include "support/RemoteProgram.h"
#include "support/WindowDriver.h"

TEST(LogViewerEndToEnd, ShowsTheLogBesideTheProgramAndDeletesIt) {
    const std::wstring path = BesideTestProgram(L"Voldix.log");
    const std::string line = "<05.03.2007 14:07:09>: <The disk is full.> \"P:\\\xc3\x9c"
                             "bersicht.xls\".\r\n";
    {
        std::ofstream log(path.c_str(), std::ios::binary | std::ios::trunc);
        log << line;
    }
    RemoteProgram program;
    ASSERT_TRUE(program.Start());
    PostMessageW(program.Window(), WM_COMMAND, MAKEWPARAM(ID_OPT_LOG, 0), 0);
    HWND viewer = WaitForOwnedWindow(program.Window(), "Fehlerprotokoll");
    ASSERT_NE(viewer, nullptr);
    wchar_t text[256] = L"";
    // Sent, not GetWindowText: the control is another process's window.
    SendMessageW(GetDlgItem(viewer, IDC_LOG_TEXT), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"<05.03.2007 14:07:09>: <The disk is full.> \"P:\\Übersicht.xls\".\r\n");

    PostMessageW(viewer, WM_COMMAND, MAKEWPARAM(ID_LOG_DELETE, 0), 0);
    HWND confirm = WaitForOwnedWindow(viewer, "Bitte bestätigen");
    ASSERT_NE(confirm, nullptr);
    SendMessageW(GetDlgItem(confirm, IDC_CONFIRM_YES), BM_CLICK, 0, 0);
    EXPECT_TRUE(
        WaitFor([&] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; }, 5000));
    PostMessageW(viewer, WM_COMMAND, MAKEWPARAM(ID_LOG_CLOSE, 0), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(viewer); }, 5000));
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(5000));
    DeleteFileW(path.c_str());
}
