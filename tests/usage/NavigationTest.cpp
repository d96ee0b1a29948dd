// Navigation through the real main window: opening drives and folders with double-clicks,
// "&Zurück", Enter, "&Neustart", Ctrl+A, the folder rows, the busy state of a scan, and
// the clipboard.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "classlib/WinText.h"
#include "res/resource.h"
#include "support/FixtureTree.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"
#include "usage/Format.h"
#include "usage/Navigation.h"

namespace {
HWND List(HWND window) {
    return GetDlgItem(window, IDC_LIST);
}

int RowOf(CUsageDlg& dialog, const char* name) {
    for (int i = 0; i < dialog.m_list.GetItemCount(); ++i)
        if (dialog.m_list.GetItemText(i, 0) == name)
            return i;
    return -1;
}

std::vector<std::string> FirstColumn(CUsageDlg& dialog) {
    std::vector<std::string> names;
    for (int i = 0; i < dialog.m_list.GetItemCount(); ++i)
        names.push_back(dialog.m_list.GetItemText(i, 0).str());
    return names;
}

// A double-click at a point of the list, as the mouse gives it.
void DoubleClickAt(HWND window, int x, int y) {
    SendMessageW(List(window), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
}

RECT RowRect(HWND window, int row) {
    RECT rect{LVIR_LABEL, 0, 0, 0};
    SendMessageW(List(window), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void DoubleClickRow(HWND window, int row) {
    const RECT rect = RowRect(window, row);
    DoubleClickAt(window, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

bool ButtonsEnabled(HWND window) {
    return IsWindowEnabled(GetDlgItem(window, IDC_BACK)) &&
           IsWindowEnabled(GetDlgItem(window, IDC_RESTART));
}

// Waits until a scan has shown the level titled title and has ended.
bool WaitForLevel(HWND window, const char* title) {
    const bool shown =
        WaitFor([&] { return WindowTitle(window) == title && ButtonsEnabled(window); }, 60000);
    Settle(window);
    return shown;
}

// Double-clicks the row named name and waits for the scan of that folder.
void Open(CUsageDlg& dialog, HWND window, const char* name, const char* title) {
    const int row = RowOf(dialog, name);
    ASSERT_GE(row, 0) << name;
    DoubleClickRow(window, row);
    ASSERT_TRUE(WaitForLevel(window, title)) << title;
}

void PressKey(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

void FocusList(HWND window) {
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(List(window)), TRUE);
}

std::vector<std::string> Headings(CUsageDlg& dialog) {
    std::vector<std::string> headings;
    for (int c = 0; c < 5; ++c)
        headings.push_back(dialog.m_list.GetColumnHeading(c).str());
    return headings;
}

int SelectedCount(HWND window) {
    return static_cast<int>(SendMessageW(List(window), LVM_GETSELECTEDCOUNT, 0, 0));
}

// The cursor that the list sets for itself when the mouse is over it.
HCURSOR ListCursor(HWND window) {
    const DWORD uiThread = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(GetCurrentThreadId(), uiThread, TRUE);
    SetCursor(nullptr);
    SendMessageW(List(window), WM_SETCURSOR, reinterpret_cast<WPARAM>(List(window)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    HCURSOR cursor = GetCursor();
    AttachThreadInput(GetCurrentThreadId(), uiThread, FALSE);
    return cursor;
}

HCURSOR ProgramCursor(UINT id) {
    return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
}

// Last-write time of a file as the list shows it, converted here on its own.
std::string ShownTime(const CString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data))
        return "?";
    SYSTEMTIME utc, local;
    FileTimeToSystemTime(&data.ftLastWriteTime, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    char text[32];
    std::snprintf(text, sizeof(text), "%02d.%02d.%02d %02d:%02d", local.wDay, local.wMonth,
                  local.wYear % 100, local.wHour, local.wMinute);
    return text;
}

// The folders the navigation tests walk through, on P:.
class NavigationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RemoveTree("P:\\nav");
        ASSERT_TRUE(MakeFile("P:\\nav\\datei.txt", 10));
        ASSERT_TRUE(MakeFile("P:\\nav\\eins\\e.dat", 1000));
        ASSERT_TRUE(MakeFile("P:\\nav\\eins\\zwei\\z.dat", 100));
        ASSERT_TRUE(MakeFile("P:\\nav\\eins\\zwei\\drei\\d.dat", 1));
        AllowOnlyLetters(m_dialog, "P");
    }
    void TearDown() override { RemoveTree("P:\\nav"); }

    CUsageDlg m_dialog;
};
} // namespace

TEST_F(NavigationTest, OpenFoldersGoBackWithButtonAndEnter) {
    RunDialog(m_dialog, [&](HWND window) {
        EXPECT_EQ(WindowTitle(window), "Voldix");
        Open(m_dialog, window, "P:\\", "P:\\");
        EXPECT_EQ(Headings(m_dialog), (std::vector<std::string>{"Eintrag", "Grösse", "Anteil",
                                                                "Änderung", "Attribute"}));
        EXPECT_EQ(m_dialog.m_depth, 1);
        Open(m_dialog, window, "nav", "P:\\nav\\");
        EXPECT_EQ(FirstColumn(m_dialog), (std::vector<std::string>{"eins", "datei.txt"}));
        EXPECT_EQ(m_dialog.m_list.GetItemText(0, 1), "1.1 KB");
        EXPECT_EQ(m_dialog.m_list.GetItemText(0, 2), "99.10%");
        EXPECT_EQ(m_dialog.m_list.GetItemText(1, 1), "10 Bytes");
        EXPECT_EQ(m_dialog.m_list.GetItemText(1, 2), "0.90%");
        Open(m_dialog, window, "eins", "P:\\nav\\eins\\");
        EXPECT_EQ(m_dialog.m_depth, 3);
        EXPECT_EQ(m_dialog.m_pathStack.GetSize(), 3);
        EXPECT_EQ(m_dialog.m_pathStack[2], "P:\\nav\\");

        ClickButton(window, IDC_BACK);
        ASSERT_TRUE(WaitForLevel(window, "P:\\nav\\"));
        EXPECT_EQ(m_dialog.m_depth, 2);
        EXPECT_EQ(FirstColumn(m_dialog), (std::vector<std::string>{"eins", "datei.txt"}));

        // Enter on the list presses the default button, "&Zurück".
        FocusList(window);
        PressKey(List(window), VK_RETURN);
        ASSERT_TRUE(WaitForLevel(window, "P:\\"));
        EXPECT_EQ(m_dialog.m_depth, 1);
        EXPECT_GE(RowOf(m_dialog, "nav"), 0);

        ClickButton(window, IDC_BACK);
        EXPECT_EQ(WindowTitle(window), "Voldix");
        EXPECT_EQ(FirstColumn(m_dialog), (std::vector<std::string>{"P:\\"}));
        EXPECT_EQ(Headings(m_dialog),
                  (std::vector<std::string>{"Eintrag", "Grösse", "Belegt", "Frei", "System"}));
        EXPECT_EQ(m_dialog.m_depth, 0);
        EXPECT_EQ(m_dialog.m_pathStack.GetSize(), 0);

        // "&Zurück" in the drive list changes nothing.
        ClickButton(window, IDC_BACK);
        EXPECT_EQ(WindowTitle(window), "Voldix");
        EXPECT_TRUE(ButtonsEnabled(window));
        EXPECT_EQ(FirstColumn(m_dialog), (std::vector<std::string>{"P:\\"}));
    });
}

TEST_F(NavigationTest, RestartFromThreeLevelsDown) {
    RunDialog(m_dialog, [&](HWND window) {
        Open(m_dialog, window, "P:\\", "P:\\");
        Open(m_dialog, window, "nav", "P:\\nav\\");
        Open(m_dialog, window, "eins", "P:\\nav\\eins\\");
        Open(m_dialog, window, "zwei", "P:\\nav\\eins\\zwei\\");
        EXPECT_EQ(FirstColumn(m_dialog), (std::vector<std::string>{"z.dat", "drei"}));
        EXPECT_EQ(m_dialog.m_depth, 4);

        ClickButton(window, IDC_RESTART);
        EXPECT_EQ(WindowTitle(window), "Voldix");
        EXPECT_EQ(FirstColumn(m_dialog), (std::vector<std::string>{"P:\\"}));
        EXPECT_EQ(m_dialog.m_list.GetColumnHeading(2), "Belegt");
        EXPECT_EQ(m_dialog.m_depth, 0);
        EXPECT_EQ(m_dialog.m_pathStack.GetSize(), 0);
        EXPECT_TRUE(m_dialog.m_currentPath.IsEmpty());
        // The drive list opens again from there.
        Open(m_dialog, window, "P:\\", "P:\\");
        EXPECT_EQ(m_dialog.m_depth, 1);
    });
}

TEST_F(NavigationTest, FileRowsAndTheAreaBelowTheRowsDoNotOpen) {
    RunDialog(m_dialog, [&](HWND window) {
        // Below the only row of the drive list.
        RECT last = RowRect(window, 0);
        DoubleClickAt(window, last.left + 5, last.bottom + 40);
        Settle(window);
        EXPECT_EQ(WindowTitle(window), "Voldix");
        EXPECT_TRUE(ButtonsEnabled(window));

        Open(m_dialog, window, "P:\\", "P:\\");
        Open(m_dialog, window, "nav", "P:\\nav\\");
        DoubleClickRow(window, RowOf(m_dialog, "datei.txt"));
        last = RowRect(window, m_dialog.m_list.GetItemCount() - 1);
        DoubleClickAt(window, last.left + 5, last.bottom + 40);
        Settle(window);
        EXPECT_TRUE(ButtonsEnabled(window));
        EXPECT_FALSE(m_dialog.m_list.IsBusy());
        EXPECT_EQ(WindowTitle(window), "P:\\nav\\");
        EXPECT_EQ(m_dialog.m_depth, 2);
        EXPECT_EQ(m_dialog.m_currentPath, "P:\\nav\\");
        EXPECT_EQ(FirstColumn(m_dialog), (std::vector<std::string>{"eins", "datei.txt"}));
    });
}

TEST_F(NavigationTest, RowsShowSharesTimesAttributesAndUnsearchableFolders) {
    ASSERT_TRUE(MakeFile("P:\\nav\\rows\\hundred.dat", 100));
    ASSERT_TRUE(MakeFile("P:\\nav\\rows\\threehundred.dat", 300));
    ASSERT_TRUE(MakeFile("P:\\nav\\rows\\locked\\inner.dat", 500));
    ASSERT_TRUE(MakeFolder("P:\\nav\\rows\\leer"));
    ASSERT_TRUE(MakeUnixSymlink("P:\\nav\\rows\\hoch", ".."));
    HANDLE held = CreateFileW(Wide("P:\\nav\\rows\\locked").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunDialog(m_dialog, [&](HWND window) {
        Open(m_dialog, window, "P:\\", "P:\\");
        Open(m_dialog, window, "nav", "P:\\nav\\");
        Open(m_dialog, window, "rows", "P:\\nav\\rows\\");
        ASSERT_EQ(m_dialog.m_list.GetItemCount(), 5);
        EXPECT_EQ(m_dialog.m_entries.GetSize(), 5);
        const int big = RowOf(m_dialog, "threehundred.dat");
        const int small = RowOf(m_dialog, "hundred.dat");
        EXPECT_EQ(big, 0);
        EXPECT_EQ(small, 1);
        EXPECT_EQ(m_dialog.m_list.GetItemText(big, 1), "300 Bytes");
        EXPECT_EQ(m_dialog.m_list.GetItemText(big, 2), "75.00%");
        EXPECT_EQ(m_dialog.m_list.GetItemText(small, 2), "25.00%");
        EXPECT_EQ(m_dialog.m_list.GetItemText(big, 3),
                  ShownTime("P:\\nav\\rows\\threehundred.dat"));
        EXPECT_EQ(m_dialog.m_list.GetItemText(big, 4).Mid(2, 1), "F");
        EXPECT_EQ(m_dialog.m_list.GetItemImage(big, 0), 1);
        for (const char* name : {"locked", "leer", "hoch"}) {
            const int row = RowOf(m_dialog, name);
            ASSERT_GE(row, 2) << name;
            EXPECT_EQ(m_dialog.m_list.GetItemText(row, 1), "0 Bytes") << name;
            EXPECT_EQ(m_dialog.m_list.GetItemText(row, 2), "0.00%") << name;
            for (int column = 0; column < 5; ++column)
                EXPECT_EQ(m_dialog.m_list.GetItemImage(row, column), 0) << name;
        }
        EXPECT_EQ(m_dialog.m_list.GetItemText(RowOf(m_dialog, "locked"), 4), "--D---------");
        EXPECT_EQ(m_dialog.m_list.GetItemText(RowOf(m_dialog, "hoch"), 4), "--D-----L---");
        EXPECT_EQ(m_dialog.m_list.GetSelectionMark(), 0);

        // An empty folder: no rows, the folder headings and its path.
        Open(m_dialog, window, "leer", "P:\\nav\\rows\\leer\\");
        EXPECT_EQ(m_dialog.m_list.GetItemCount(), 0);
        EXPECT_EQ(Headings(m_dialog), (std::vector<std::string>{"Eintrag", "Grösse", "Anteil",
                                                                "Änderung", "Attribute"}));
    });
    CloseHandle(held);
}

TEST_F(NavigationTest, DuringAScanTheListIsBusyAndNavigationWaits) {
    // 2 ms per entry at least: the scan lasts long enough to be watched.
    for (int i = 0; i < 300; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "P:\\nav\\viele\\f%04d.dat", i);
        ASSERT_TRUE(MakeFile(name, 1));
    }
    ASSERT_TRUE(MakeFile("P:\\nav\\viele\\sub\\s.dat", 700));
    RunDialog(m_dialog, [&](HWND window) {
        const HCURSOR busy = ProgramCursor(IDC_CURSOR_BUSY);
        const HCURSOR arrow = ProgramCursor(IDC_CURSOR_ARROW);
        ASSERT_NE(busy, nullptr);
        Open(m_dialog, window, "P:\\", "P:\\");
        Open(m_dialog, window, "nav", "P:\\nav\\");
        EXPECT_EQ(ListCursor(window), arrow);

        // The focus on "&Zurück" goes to the list while the button is disabled.
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_BACK)),
                     TRUE);
        DoubleClickRow(window, RowOf(m_dialog, "viele"));
        // The double-click has started the scan.
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_BACK)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_RESTART)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDCANCEL)));
        EXPECT_TRUE(m_dialog.m_list.IsBusy());
        EXPECT_EQ(ListCursor(window), busy);
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
        EXPECT_EQ(gui.hwndFocus, List(window));

        // Row 0 is a folder in the old rows ("eins") and in the new ones ("sub"); opening
        // it, going back and restarting all do nothing while the scan runs.
        DoubleClickRow(window, 0);
        ClickButton(window, IDC_BACK);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_RESTART, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_RESTART)));
        EXPECT_FALSE(ButtonsEnabled(window));
        EXPECT_TRUE(m_dialog.m_list.IsBusy());

        ASSERT_TRUE(WaitForLevel(window, "P:\\nav\\viele\\"));
        EXPECT_EQ(m_dialog.m_list.GetItemCount(), 301);
        EXPECT_EQ(m_dialog.m_list.GetItemText(0, 0), "sub");
        EXPECT_EQ(m_dialog.m_depth, 3);
        EXPECT_EQ(m_dialog.m_pathStack.GetSize(), 3);
        EXPECT_EQ(m_dialog.m_currentPath, "P:\\nav\\viele\\");
        EXPECT_FALSE(m_dialog.m_list.IsBusy());
        EXPECT_EQ(ListCursor(window), arrow);
        EXPECT_TRUE(ButtonsEnabled(window));
        EXPECT_EQ(m_dialog.m_list.GetItemText(0, 2), "70.00%");
        EXPECT_EQ(m_dialog.m_list.GetItemText(1, 2), "0.10%");
    });
}

TEST_F(NavigationTest, CtrlASelectsAllRowsAndAAloneNothing) {
    AllowOnlyLetters(m_dialog, "PQ");
    RunDialog(m_dialog, [&](HWND window) {
        SetForegroundWindow(window);
        FocusList(window);
        Settle(window);
        // Drive view.
        SendKeys({{VK_CONTROL, true}, {'A', true}, {'A', false}, {VK_CONTROL, false}});
        EXPECT_TRUE(WaitFor([&] { return SelectedCount(window) == 2; }));

        Open(m_dialog, window, "P:\\", "P:\\");
        Open(m_dialog, window, "nav", "P:\\nav\\");
        FocusList(window);
        ListView_SetItemState(List(window), -1, 0, LVIS_SELECTED);
        ASSERT_TRUE(SendKeysAndWait(window, {{'A', true}, {'A', false}}))
            << "the keys were not handled";
        EXPECT_EQ(SelectedCount(window), 0);
        SendKeys({{VK_CONTROL, true}, {'A', true}, {'A', false}, {VK_CONTROL, false}});
        EXPECT_TRUE(WaitFor([&] { return SelectedCount(window) == 2; }));
    });
}

TEST_F(NavigationTest, CtrlWithAnyOtherKeySelectsNothing) {
    AllowOnlyLetters(m_dialog, "PQ");
    RunDialog(m_dialog, [&](HWND window) {
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }))
            << "the window did not come to the front";
        FocusList(window);
        Settle(window);
        // The keys reach the list: Ctrl+A selects both rows.
        ASSERT_TRUE(SendKeysAndWait(
            window, {{VK_CONTROL, true}, {'A', true}, {'A', false}, {VK_CONTROL, false}}))
            << "Ctrl+A not handled";
        EXPECT_EQ(SelectedCount(window), 2);
        ASSERT_EQ(m_dialog.m_list.GetItemCount(), 2);
        const std::pair<const char*, std::vector<std::pair<WORD, bool>>> presses[] = {
            {"Ctrl alone", {{VK_CONTROL, true}, {VK_CONTROL, false}}},
            {"Ctrl+End",
             {{VK_CONTROL, true}, {VK_END, true}, {VK_END, false}, {VK_CONTROL, false}}},
            {"Ctrl+Home",
             {{VK_CONTROL, true}, {VK_HOME, true}, {VK_HOME, false}, {VK_CONTROL, false}}},
            {"Ctrl+C", {{VK_CONTROL, true}, {'C', true}, {'C', false}, {VK_CONTROL, false}}},
        };
        for (const auto& press : presses) {
            ListView_SetItemState(List(window), -1, 0, LVIS_SELECTED);
            ASSERT_TRUE(SendKeysAndWait(window, press.second)) << press.first << " not handled";
            EXPECT_EQ(SelectedCount(window), 0) << press.first;
        }
    });
}

TEST_F(NavigationTest, FolderOfThousandsOfEntriesShowsEveryRow) {
    // More entries than one read of the folder returns, and rows enough for many frames.
    const int count = 1500;
    char name[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof(name), "P:\\nav\\gross\\eintrag_%04d.dat", i);
        ASSERT_TRUE(MakeFile(name, static_cast<uint64_t>(i % 7)));
    }
    RunDialog(m_dialog, [&](HWND window) {
        Open(m_dialog, window, "P:\\", "P:\\");
        Open(m_dialog, window, "nav", "P:\\nav\\");
        int total = 0;
        for (int i = 0; i < count; ++i)
            total += i % 7;
        const int row = RowOf(m_dialog, "gross");
        ASSERT_GE(row, 0);
        EXPECT_EQ(m_dialog.m_list.GetItemText(row, 1), FormatSize(static_cast<uint64_t>(total)));

        Open(m_dialog, window, "gross", "P:\\nav\\gross\\");
        ASSERT_EQ(m_dialog.m_entries.GetSize(), count);
        ASSERT_EQ(m_dialog.m_list.GetItemCount(), count);
        // Row i shows record i, in size order; the first row is marked and in view.
        for (int i = 0; i < count; ++i) {
            const UsageEntry* entry = m_dialog.m_entries.GetEntry(i);
            ASSERT_EQ(m_dialog.m_list.GetItemText(i, 0), entry->m_name) << "row " << i;
            if (i > 0) {
                ASSERT_LE(entry->m_size, m_dialog.m_entries.GetEntry(i - 1)->m_size) << i;
            }
        }
        EXPECT_EQ(m_dialog.m_list.GetItemText(count - 1, 1),
                  FormatSize(m_dialog.m_entries.GetEntry(count - 1)->m_size));
        EXPECT_EQ(m_dialog.m_list.GetSelectionMark(), 0);
        EXPECT_EQ(SendMessageW(List(window), LVM_GETTOPINDEX, 0, 0), 0);
    });
}

TEST(Clipboard, TextWithCharactersOutsideTheCodePageReadsBack) {
    CUsageDlg dialog;
    AllowOnlyLetters(dialog, "");
    RunDialog(dialog, [&](HWND window) {
        const CString text = "P:\\Ordner äöü\\Ωμέγα 日本\\Voldix.exe";
        ASSERT_TRUE(CopyTextToClipboard(window, "vorher"));
        ASSERT_TRUE(CopyTextToClipboard(window, text));
        ASSERT_TRUE(OpenClipboard(nullptr));
        HANDLE unicode = GetClipboardData(CF_UNICODETEXT);
        ASSERT_NE(unicode, nullptr);
        const wchar_t* wide = static_cast<const wchar_t*>(GlobalLock(unicode));
        EXPECT_EQ(Narrow(wide), text);
        GlobalUnlock(unicode);
        // Windows offers the same text in the user's code page; what it cannot show there
        // becomes '?'.
        HANDLE ansi = GetClipboardData(CF_TEXT);
        ASSERT_NE(ansi, nullptr);
        const std::string narrow = static_cast<const char*>(GlobalLock(ansi));
        GlobalUnlock(ansi);
        CloseClipboard();
        EXPECT_EQ(narrow.substr(0, 13), "P:\\Ordner \xe4\xf6\xfc");
        EXPECT_EQ(narrow.substr(narrow.size() - 11), "\\Voldix.exe");

        ASSERT_TRUE(CopyTextToClipboard(window, ""));
        ASSERT_TRUE(OpenClipboard(nullptr));
        unicode = GetClipboardData(CF_UNICODETEXT);
        ASSERT_NE(unicode, nullptr);
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(unicode))), L"");
        GlobalUnlock(unicode);
        CloseClipboard();
    });
}
