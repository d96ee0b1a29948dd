// The log viewer driven for real: what it shows, the error without a log, deleting,
// its layout and smallest size; and a log line written while the log is being read.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "TempFolder.h"
#include "app/UsageDlg.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "log/ErrorLog.h"
#include "log/LogViewerDlg.h"
#include "res/resource.h"
#include "support/WindowDriver.h"

namespace {
// Lines with names in three scripts; UTF-8 in the file.
const char kLogText[] = "<05.03.2007 14:07:09>: <The disk is full.> \"P:\\Gr\xc3\xb6\xc3\x9f"
                        "e\\a.txt\".\r\n"
                        "<05.03.2007 14:07:10>: <The file could not be accessed.> "
                        "\"P:\\\xce\x95\xce\xbb\xce\xbb\xce\xac\xce\xb4\xce\xb1\\b.doc\".\r\n"
                        "<05.03.2007 14:07:11>: <The end of file was reached.> "
                        "\"P:\\\xe6\x97\xa5\xe6\x9c\xac\\c.txt\".\r\n";

// The text of the viewer's rich edit control, line ends as single CRs or LFs removed.
std::wstring ShownText(HWND viewer) {
    HWND edit = GetDlgItem(viewer, IDC_LOG_TEXT);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, &text[0], static_cast<int>(text.size()))));
    std::wstring plain;
    for (wchar_t c : text)
        if (c != L'\r' && c != L'\n')
            plain += c;
    return plain;
}

std::wstring WithoutLineEnds(const char* utf8) {
    std::wstring plain;
    for (wchar_t c : Widen(utf8))
        if (c != L'\r' && c != L'\n')
            plain += c;
    return plain;
}

// A file of the given size whose bytes are never written (sparse on the Unix side).
bool MakeSparseFile(const CString& path, uint64_t size) {
    HANDLE file =
        CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

// Runs the viewer on path and the script while it is up.
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
    EXPECT_EQ(WindowTitle(GetDlgItem(confirm, IDC_CONFIRM_TEXT)),
              "Fehler-Protokoll wirklich löschen?");
    SendMessageW(GetDlgItem(confirm, button), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(confirm); }, 5000));
    Settle(viewer);
}
} // namespace

TEST(LogViewer, ShowsTheWholeLogFromItsBeginningWithItsMenu) {
    TempFolder folder("viewer_show");
    // Far more than the 32767 characters a rich edit control takes by default.
    std::string log;
    while (log.size() < 100000)
        log += kLogText;
    WriteBytes(folder.Path("Voldix.log"), log);
    RunViewer(folder.Path("Voldix.log"), [&](HWND viewer) {
        EXPECT_EQ(WindowTitle(viewer), "Fehlerprotokoll");
        EXPECT_TRUE(ShownText(viewer) == WithoutLineEnds(log.c_str()));
        EXPECT_EQ(SendMessageW(GetDlgItem(viewer, IDC_LOG_TEXT), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        HMENU bar = GetMenu(viewer);
        ASSERT_EQ(GetMenuItemCount(bar), 1);
        wchar_t text[64];
        GetMenuStringW(bar, 0, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"&Protokoll");
        HMENU popup = GetSubMenu(bar, 0);
        ASSERT_EQ(GetMenuItemCount(popup), 3);
        GetMenuStringW(popup, 0, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"&Löschen");
        EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(ID_LOG_DELETE));
        EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
        GetMenuStringW(popup, 2, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"&Schließen");
        EXPECT_EQ(GetMenuItemID(popup, 2), static_cast<UINT>(ID_LOG_CLOSE));
    });

    // A zero byte ends the text shown.
    WriteBytes(folder.Path("Voldix.log"), std::string(kLogText) + '\0' + "hidden\r\n");
    RunViewer(folder.Path("Voldix.log"),
              [&](HWND viewer) { EXPECT_TRUE(ShownText(viewer) == WithoutLineEnds(kLogText)); });
}

TEST(LogViewer, WithoutALogOnlyTheErrorMessageComesUp) {
    TempFolder folder("viewer_missing");
    CUsageDlg main;
    RunDialog(main, [&](HWND window) {
        main.m_errorLog.SetBasePath(folder.Path("Voldix"));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_OPT_LOG, 0), 0);
        HWND message = WaitForOwnedWindow(window, "Fehlermeldung");
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(WindowTitle(GetDlgItem(message, IDC_ERROR_TEXT)),
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

TEST(LogViewer, DeletesOnlyOnYesAndKeepsShowingTheText) {
    TempFolder folder("viewer_delete");
    const CString path = folder.Path("Voldix.log");
    WriteBytes(path, kLogText);
    WriteBytes(folder.Path("Voldix.bak"), "backup\r\n");
    const INT_PTR result = RunViewer(path, [&](HWND viewer) {
        DeleteAnswering(viewer, IDC_CONFIRM_NO);
        EXPECT_EQ(ReadBytes(path), kLogText);
        DeleteAnswering(viewer, IDC_CONFIRM_YES);
        EXPECT_FALSE(FileExists(path));
        EXPECT_TRUE(IsWindowVisible(viewer));
        EXPECT_TRUE(ShownText(viewer) == WithoutLineEnds(kLogText));
        ChooseCommand(viewer, ID_LOG_CLOSE);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(ReadBytes(folder.Path("Voldix.bak")), "backup\r\n");
}

TEST(LogViewer, LayoutFollowsTheSizeDownToTheSmallest) {
    TempFolder folder("viewer_layout");
    WriteBytes(folder.Path("Voldix.log"), kLogText);
    RunViewer(folder.Path("Voldix.log"), [&](HWND viewer) {
        // The button keeps its own size; give it the one of the classic font.
        HWND ok = GetDlgItem(viewer, IDOK);
        const RECT before = ChildRect(viewer, IDOK);
        SetWindowPos(ok, nullptr, before.left, before.top, 75, 23, SWP_NOZORDER);
        RECT window, client;
        GetWindowRect(viewer, &window);
        GetClientRect(viewer, &client);
        SetWindowPos(viewer, nullptr, 0, 0, 800 + (window.right - window.left) - client.right,
                     600 + (window.bottom - window.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
        Settle(viewer);
        GetClientRect(viewer, &client);
        ASSERT_EQ(client.right, 800);
        ASSERT_EQ(client.bottom, 600);
        const RECT edit = ChildRect(viewer, IDC_LOG_TEXT);
        EXPECT_EQ(edit.left, 8);
        EXPECT_EQ(edit.top, 8);
        EXPECT_EQ(edit.right, 790);
        EXPECT_EQ(edit.bottom, 564);
        const RECT button = ChildRect(viewer, IDOK);
        EXPECT_EQ(button.left, 363);
        EXPECT_EQ(button.top, 572);
        EXPECT_EQ(button.right, 363 + 75);
        EXPECT_EQ(button.bottom, 572 + 23);

        SetWindowPos(viewer, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
        Settle(viewer);
        GetWindowRect(viewer, &window);
        EXPECT_EQ(window.right - window.left, 484);
        EXPECT_EQ(window.bottom - window.top, 359);
    });
}

TEST(LogViewer, TooLargeALogGivesAnEmptyViewer) {
    TempFolder folder("viewer_large");
    const CString path = folder.Path("Voldix.log");
    ASSERT_TRUE(MakeSparseFile(path, 3ull << 30));
    bool shown = false;
    RunViewer(path, [&](HWND viewer) {
        shown = IsWindowVisible(viewer) != FALSE;
        EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(viewer, IDC_LOG_TEXT)), 0);
    });
    EXPECT_TRUE(shown);
}

TEST(LogViewer, ALineWrittenWhileTheLogIsReadLandsInTheFile) {
    TempFolder folder("viewer_shared");
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
