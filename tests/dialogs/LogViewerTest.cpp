// The log viewer driven for real: what it shows, the error without a log, deleting, its
// layout and smallest size; and a log line written while the log is being read.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/UsageDlg.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "dialogs/LogViewerDlg.h"
#include "log/ErrorLog.h"
#include "log/LogFiles.h"
#include "res/resource.h"
#include "support/ScratchFolder.h"
#include "support/WindowDriver.h"

namespace {
// Names in three scripts, UTF-8 in the file.
const char kLogText[] = "<05.03.2007 14:07:09>: \"P:\\Gr\xc3\xb6\xc3\x9f"
                        "e\\a.txt\".\r\n<05.03.2007 14:07:10>: \"P:\\\xce\x95\xce\xbb\xce\xbb"
                        "\xce\xac\xce\xb4\xce\xb1\\b\".\r\n<05.03.2007 14:07:11>: \"P:\\\xe6\x97"
                        "\xa5\xe6\x9c\xac\\c.txt\".\r\n";

// The text of the viewer's rich edit control.
std::wstring ShownText(HWND viewer) {
    HWND edit = GetDlgItem(viewer, IDC_LOG_TEXT);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, &text[0], static_cast<int>(text.size()))));
    return text;
}

INT_PTR RunViewer(const CString& path, const std::function<void(HWND)>& script) {
    AfxInitRichEdit();
    CLogViewerDlg viewer;
    viewer.SetPath(path);
    return RunDialog(viewer, script, true);
}

// Chooses "&Löschen" and answers the question with the given button.
void DeleteAnswering(HWND viewer, int button) {
    PostMessageW(viewer, WM_COMMAND, MAKEWPARAM(ID_LOG_DELETE, 0), 0);
    HWND confirm = WaitForOwnedWindow(viewer, "Bitte bestätigen");
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(ItemText(confirm, IDC_CONFIRM_TEXT), "Fehler-Protokoll wirklich löschen?");
    SendMessageW(GetDlgItem(confirm, button), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(confirm); }, 5000));
    Settle(viewer);
}
} // namespace

TEST(LogViewer, ShowsTheWholeLogFromItsBeginningAndDeletesItOnYes) {
    ScratchFolder folder;
    // Far more than the 32767 characters a rich edit control takes by default.
    std::string log;
    while (log.size() < 100000)
        log += kLogText;
    WriteBytes(folder.Path("Voldix.log"), log);
    RunViewer(folder.Path("Voldix.log"), [&](HWND viewer) {
        EXPECT_EQ(WindowTitle(viewer), "Fehlerprotokoll");
        EXPECT_TRUE(ShownText(viewer) == Widen(log.c_str()));
        EXPECT_EQ(SendMessageW(GetDlgItem(viewer, IDC_LOG_TEXT), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        HMENU popup = GetSubMenu(GetMenu(viewer), 0);
        const std::pair<UINT, const wchar_t*> items[] = {
            {ID_LOG_DELETE, L"&Löschen"}, {0, L""}, {ID_LOG_CLOSE, L"&Schließen"}};
        ASSERT_EQ(GetMenuItemCount(popup), 3);
        for (int i = 0; i < 3; ++i) {
            wchar_t text[32] = L"";
            GetMenuStringW(popup, i, text, 32, MF_BYPOSITION);
            EXPECT_STREQ(text, items[i].second);
            EXPECT_EQ(GetMenuItemID(popup, i), items[i].first);
        }
    });

    // A zero byte ends the text shown. "&Löschen" deletes on "&Ja" only, and the text stays.
    const CString path = folder.Path("Voldix.log");
    WriteBytes(path, std::string(kLogText) + '\0' + "hidden\r\n");
    const INT_PTR result = RunViewer(path, [&](HWND viewer) {
        EXPECT_TRUE(ShownText(viewer) == Widen(kLogText));
        DeleteAnswering(viewer, IDC_CONFIRM_NO);
        EXPECT_TRUE(FileExists(path));
        DeleteAnswering(viewer, IDC_CONFIRM_YES);
        EXPECT_FALSE(FileExists(path));
        EXPECT_TRUE(IsWindowVisible(viewer));
        EXPECT_TRUE(ShownText(viewer) == Widen(kLogText));
        ChooseCommand(viewer, ID_LOG_CLOSE);
    });
    EXPECT_EQ(result, IDOK);
}

TEST(LogViewer, WithoutALogOnlyTheErrorMessageComesUp) {
    DeleteFileW(Widen(GetProgramFolder() + "Voldix.log").c_str());
    CUsageDlg main;
    RunDialog(main, [&](HWND window) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_OPT_LOG, 0), 0);
        HWND message = WaitForOwnedWindow(window, "Fehlermeldung");
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(ItemText(message, IDC_ERROR_TEXT),
                  "Das Fehler-Protokoll\nkonnte nicht gelesen werden.");
        // The viewer is made, but never shown.
        HWND viewer = FindWindowW(nullptr, L"Fehlerprotokoll");
        EXPECT_TRUE(viewer == nullptr || !IsWindowVisible(viewer));
        PostMessageW(message, WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(message); }, 5000));
        Settle(window);
        EXPECT_EQ(FindWindowW(nullptr, L"Fehlerprotokoll"), nullptr);
        EXPECT_TRUE(IsWindowEnabled(window));
    });
}

TEST(LogViewer, LayoutFollowsTheSizeDownToTheSmallest) {
    ScratchFolder folder;
    WriteBytes(folder.Path("Voldix.log"), kLogText);
    RunViewer(folder.Path("Voldix.log"), [&](HWND viewer) {
        // The button keeps its own size; give it the one of the classic font.
        const RECT before = ChildRect(viewer, IDOK);
        SetWindowPos(GetDlgItem(viewer, IDOK), nullptr, before.left, before.top, 75, 23,
                     SWP_NOZORDER);
        RECT window, client;
        GetWindowRect(viewer, &window);
        GetClientRect(viewer, &client);
        SetWindowPos(viewer, nullptr, 0, 0, 800 + (window.right - window.left) - client.right,
                     600 + (window.bottom - window.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
        Settle(viewer);
        GetClientRect(viewer, &client);
        ASSERT_TRUE(client.right == 800 && client.bottom == 600);
        const RECT edit = ChildRect(viewer, IDC_LOG_TEXT), button = ChildRect(viewer, IDOK);
        const RECT expectedEdit{8, 8, 790, 564}, expectedButton{363, 572, 363 + 75, 572 + 23};
        EXPECT_TRUE(EqualRect(&edit, &expectedEdit));
        EXPECT_TRUE(EqualRect(&button, &expectedButton));

        SetWindowPos(viewer, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
        Settle(viewer);
        GetWindowRect(viewer, &window);
        EXPECT_EQ(window.right - window.left, 484);
        EXPECT_EQ(window.bottom - window.top, 359);
    });
}

TEST(LogViewer, OnAScreenOfTwiceTheScaleMarginsAndSmallestSizeDouble) {
    ScratchFolder folder;
    WriteBytes(folder.Path("Voldix.log"), kLogText);
    RunViewer(folder.Path("Voldix.log"), [&](HWND viewer) {
        RECT suggested{0, 0, 1000, 800}, window, client;
        SendMessageW(viewer, WM_DPICHANGED, MAKEWPARAM(192, 192),
                     reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(viewer, &window);
        EXPECT_TRUE(EqualRect(&window, &suggested));
        GetClientRect(viewer, &client);
        const RECT edit = ChildRect(viewer, IDC_LOG_TEXT), button = ChildRect(viewer, IDOK);
        const RECT expectedEdit{16, 16, client.right - 20, client.bottom - 72};
        EXPECT_TRUE(EqualRect(&edit, &expectedEdit));
        EXPECT_EQ(button.bottom, client.bottom - 10);
        SetWindowPos(viewer, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
        GetWindowRect(viewer, &window);
        EXPECT_EQ(window.right - window.left, 968);
        EXPECT_EQ(window.bottom - window.top, 718);
    });
}

TEST(LogViewer, TooLargeALogGivesAnEmptyViewer) {
    ScratchFolder folder;
    const CString path = folder.Path("Voldix.log");
    // 3 GiB whose bytes are never written (sparse on the Unix side).
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        file.SetLength(3ull << 30);
    }
    bool shown = false;
    RunViewer(path, [&](HWND viewer) {
        shown = IsWindowVisible(viewer) != FALSE;
        EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(viewer, IDC_LOG_TEXT)), 0);
    });
    EXPECT_TRUE(shown);
}

TEST(LogViewer, ALineWrittenWhileTheLogIsReadLandsInTheFile) {
    ScratchFolder folder;
    ErrorLog log;
    log.SetBasePath(folder.Path("Voldix"));
    WriteBytes(log.GetLogPath(), "first\r\n");
    {
        CFile reader;
        ASSERT_TRUE(OpenLogForReading(reader, log.GetLogPath()));
        EXPECT_TRUE(log.Write("while read"));
    }
    const std::string content = ReadBytes(log.GetLogPath());
    EXPECT_EQ(content.substr(0, 7), "first\r\n");
    EXPECT_NE(content.find(">: while read\r\n"), std::string::npos);

    // At the limit the rotation waits for the reader and is done at the next line.
    log.SetLogMax(0);
    {
        CFile reader;
        ASSERT_TRUE(OpenLogForReading(reader, log.GetLogPath()));
        EXPECT_TRUE(log.Write("rotated later"));
        EXPECT_TRUE(FileExists(log.GetLogPath()));
    }
    EXPECT_TRUE(log.Write("last"));
    EXPECT_FALSE(FileExists(log.GetLogPath()));
    const std::string backup = ReadBytes(log.GetBackupPath());
    EXPECT_EQ(backup.substr(0, content.size()), content);
    EXPECT_NE(backup.find(">: rotated later\r\n"), std::string::npos);
    EXPECT_NE(backup.find(">: last\r\n"), std::string::npos);
}

// Each line is decoded by itself: a line cut off in the middle of a character, or one
// written by another program in the ANSI code page, leaves the UTF-8 lines around it whole.
TEST(LogViewer, DecodesTheLogLineByLine) {
    wchar_t ansi[2][32] = {};
    MultiByteToWideChar(CP_ACP, 0, "<2>: Fu\xdf\r\n", -1, ansi[0], 32);
    MultiByteToWideChar(CP_ACP, 0, "<4>: cut \xc3", -1, ansi[1], 32);
    EXPECT_EQ(LogTextForDisplay("<1>: Fu\xc3\x9f\r\n<2>: Fu\xdf\r\n<3>: \xc3\xa4\n<4>: cut \xc3"),
              L"<1>: Fu\u00df\r\n" + std::wstring(ansi[0]) + L"<3>: \u00e4\n" + ansi[1]);
}
