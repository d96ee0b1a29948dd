// Navigation through the real main window: opening drives and folders with double-clicks,
// "&Zurück", Enter, "&Neustart", Ctrl+A, the folder rows, the busy state of a scan, and
// the clipboard.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "classlib/Clipboard.h"
#include "classlib/WinText.h"
#include "res/resource.h"
#include "support/FixtureTree.h"
#include "support/MainWindow.h"
#include "support/ScratchFolder.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"
#include "usage/Format.h"

namespace {
HWND List(HWND window) {
    return GetDlgItem(window, IDC_LIST);
}

// A double-click at a point of the list, as the mouse gives it.
void DoubleClickAt(HWND window, int x, int y) {
    SendMessageW(List(window), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
}

void FocusList(HWND window) {
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(List(window)), TRUE);
}

std::vector<std::string> Headings(const ListProbe& list) {
    std::vector<std::string> headings;
    for (int c = 0; c < 5; ++c)
        headings.push_back(list.Heading(c).str());
    return headings;
}

int SelectedCount(HWND window) {
    return static_cast<int>(SendMessageW(List(window), LVM_GETSELECTEDCOUNT, 0, 0));
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

// The folders the navigation tests walk through, in a scratch folder on P:.
class NavigationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(MakeFile(m_folder.Path("datei.txt"), 10));
        ASSERT_TRUE(MakeFile(m_folder.Path("eins\\e.dat"), 1000));
        ASSERT_TRUE(MakeFile(m_folder.Path("eins\\zwei\\z.dat"), 100));
        ASSERT_TRUE(MakeFile(m_folder.Path("eins\\zwei\\drei\\d.dat"), 1));
    }

    ScratchFolder m_folder;
    CUsageDlg m_dialog;
};
} // namespace

TEST_F(NavigationTest, OpenFoldersGoBackWithButtonAndEnter) {
    ASSERT_TRUE(MakeFolder(m_folder.Path("eins\\seite\\tief")));
    RunMainWindow(m_dialog, "P", [&](HWND window) {
        const ListProbe list(window);
        EXPECT_EQ(WindowTitle(window), "Voldix");
        list.Open("P:\\", "P:\\");
        EXPECT_EQ(Headings(list), (std::vector<std::string>{"Eintrag", "Grösse", "Anteil",
                                                            "Änderung", "Attribute"}));
        list.Open(m_folder.Name(), m_folder.Path());
        EXPECT_EQ(list.Column(), (std::vector<std::string>{"eins", "datei.txt"}));
        EXPECT_EQ(list.Text(0, 1), "1.1 KB");
        EXPECT_EQ(list.Text(0, 2), "99.10%");
        EXPECT_EQ(list.Text(1, 1), "10 Bytes");
        EXPECT_EQ(list.Text(1, 2), "0.90%");
        list.Open("eins", m_folder.Path("eins\\"));
        // Two levels down, back twice, down another branch and back: every "&Zurück"
        // lands in the folder the way down came through.
        const auto back = [&](const char* level) {
            ClickButton(window, IDC_BACK);
            EXPECT_TRUE(WaitFor([&] { return list.ButtonsEnabled(); }, 60000));
            EXPECT_EQ(WindowTitle(window), m_folder.Path(level));
        };
        list.Open("zwei", m_folder.Path("eins\\zwei\\"));
        list.Open("drei", m_folder.Path("eins\\zwei\\drei\\"));
        back("eins\\zwei\\");
        back("eins\\");
        list.Open("seite", m_folder.Path("eins\\seite\\"));
        list.Open("tief", m_folder.Path("eins\\seite\\tief\\"));
        back("eins\\seite\\");
        back("eins\\");

        ClickButton(window, IDC_BACK);
        ASSERT_TRUE(list.WaitForLevel(m_folder.Path()));
        EXPECT_EQ(list.Column(), (std::vector<std::string>{"eins", "datei.txt"}));

        // Enter on the list presses the default button, "&Zurück".
        FocusList(window);
        list.PressKey(VK_RETURN);
        ASSERT_TRUE(list.WaitForLevel("P:\\"));
        EXPECT_GE(list.RowOf(m_folder.Name()), 0);

        ClickButton(window, IDC_BACK);
        EXPECT_EQ(WindowTitle(window), "Voldix");
        EXPECT_EQ(list.Column(), (std::vector<std::string>{"P:\\"}));
        EXPECT_EQ(Headings(list),
                  (std::vector<std::string>{"Eintrag", "Grösse", "Belegt", "Frei", "System"}));

        // "&Zurück" in the drive list changes nothing.
        ClickButton(window, IDC_BACK);
        EXPECT_EQ(WindowTitle(window), "Voldix");
        EXPECT_TRUE(list.ButtonsEnabled());
        EXPECT_EQ(list.Column(), (std::vector<std::string>{"P:\\"}));
    });
}

TEST_F(NavigationTest, RestartFromThreeLevelsDown) {
    RunMainWindow(m_dialog, "P", [&](HWND window) {
        const ListProbe list(window);
        list.Open("P:\\", "P:\\");
        list.Open(m_folder.Name(), m_folder.Path());
        list.Open("eins", m_folder.Path("eins\\"));
        list.Open("zwei", m_folder.Path("eins\\zwei\\"));
        EXPECT_EQ(list.Column(), (std::vector<std::string>{"z.dat", "drei"}));

        ClickButton(window, IDC_RESTART);
        EXPECT_EQ(WindowTitle(window), "Voldix");
        EXPECT_EQ(list.Column(), (std::vector<std::string>{"P:\\"}));
        EXPECT_EQ(list.Heading(2), "Belegt");
        // The drive list opens again from there.
        list.Open("P:\\", "P:\\");
    });
}

TEST_F(NavigationTest, FileRowsAndTheAreaBelowTheRowsDoNotOpen) {
    RunMainWindow(m_dialog, "P", [&](HWND window) {
        const ListProbe list(window);
        // Below the only row of the drive list.
        RECT last = list.RowRect(0);
        DoubleClickAt(window, last.left + 5, last.bottom + 40);
        Settle(window);
        EXPECT_EQ(WindowTitle(window), "Voldix");
        EXPECT_TRUE(list.ButtonsEnabled());

        list.Open("P:\\", "P:\\");
        list.Open(m_folder.Name(), m_folder.Path());
        list.DoubleClickRow(list.RowOf("datei.txt"));
        last = list.RowRect(list.Rows() - 1);
        DoubleClickAt(window, last.left + 5, last.bottom + 40);
        Settle(window);
        EXPECT_TRUE(list.ButtonsEnabled());
        EXPECT_EQ(list.Cursor(), ProgramCursor(IDC_CURSOR_ARROW));
        EXPECT_EQ(WindowTitle(window), m_folder.Path());
        EXPECT_EQ(list.Column(), (std::vector<std::string>{"eins", "datei.txt"}));
    });
}

TEST_F(NavigationTest, RowsShowSharesTimesAttributesAndUnsearchableFolders) {
    ASSERT_TRUE(MakeFile(m_folder.Path("rows\\hundred.dat"), 100));
    ASSERT_TRUE(MakeFile(m_folder.Path("rows\\threehundred.dat"), 300));
    ASSERT_TRUE(MakeFile(m_folder.Path("rows\\locked\\inner.dat"), 500));
    ASSERT_TRUE(MakeFolder(m_folder.Path("rows\\leer")));
    ASSERT_TRUE(MakeUnixSymlink(m_folder.Path("rows\\hoch"), ".."));
    HANDLE held = CreateFileW(Wide(m_folder.Path("rows\\locked")).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunMainWindow(m_dialog, "P", [&](HWND window) {
        const ListProbe list(window);
        list.Open("P:\\", "P:\\");
        list.Open(m_folder.Name(), m_folder.Path());
        list.Open("rows", m_folder.Path("rows\\"));
        ASSERT_EQ(list.Rows(), 5);
        const int big = list.RowOf("threehundred.dat");
        const int small = list.RowOf("hundred.dat");
        EXPECT_EQ(big, 0);
        EXPECT_EQ(small, 1);
        EXPECT_EQ(list.Text(big, 1), "300 Bytes");
        EXPECT_EQ(list.Text(big, 2), "75.00%");
        EXPECT_EQ(list.Text(small, 2), "25.00%");
        EXPECT_EQ(list.Text(big, 3), ShownTime(m_folder.Path("rows\\threehundred.dat")));
        EXPECT_EQ(list.Text(big, 4).Mid(2, 1), "F");
        EXPECT_EQ(list.Image(big, 0), 1);
        for (const char* name : {"locked", "leer", "hoch"}) {
            const int row = list.RowOf(name);
            ASSERT_GE(row, 2) << name;
            EXPECT_EQ(list.Text(row, 1), "0 Bytes") << name;
            EXPECT_EQ(list.Text(row, 2), "0.00%") << name;
            for (int column = 0; column < 5; ++column)
                EXPECT_EQ(list.Image(row, column), 0) << name;
        }
        EXPECT_EQ(list.Text(list.RowOf("locked"), 4), "--D---------");
        EXPECT_EQ(list.Text(list.RowOf("hoch"), 4), "--D-----L---");
        EXPECT_EQ(list.SelectionMark(), 0);

        // An empty folder: no rows, the folder headings and its path.
        list.Open("leer", m_folder.Path("rows\\leer\\"));
        EXPECT_EQ(list.Rows(), 0);
        EXPECT_EQ(Headings(list), (std::vector<std::string>{"Eintrag", "Grösse", "Anteil",
                                                            "Änderung", "Attribute"}));
    });
    CloseHandle(held);
}

TEST_F(NavigationTest, DuringAScanTheListIsBusyAndNavigationWaits) {
    // 2 ms per entry at least: the scan lasts long enough to be watched.
    for (int i = 0; i < 300; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "viele\\f%04d.dat", i);
        ASSERT_TRUE(MakeFile(m_folder.Path(name), 1));
    }
    ASSERT_TRUE(MakeFile(m_folder.Path("viele\\sub\\s.dat"), 700));
    RunMainWindow(m_dialog, "P", [&](HWND window) {
        const ListProbe list(window);
        const HCURSOR busy = ProgramCursor(IDC_CURSOR_BUSY);
        const HCURSOR arrow = ProgramCursor(IDC_CURSOR_ARROW);
        ASSERT_NE(busy, nullptr);
        list.Open("P:\\", "P:\\");
        list.Open(m_folder.Name(), m_folder.Path());
        EXPECT_EQ(list.Cursor(), arrow);

        // The focus on "&Zurück" goes to the list while the button is disabled.
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_BACK)),
                     TRUE);
        list.DoubleClickRow(list.RowOf("viele"));
        // The double-click has started the scan.
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_BACK)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_RESTART)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDCANCEL)));
        EXPECT_EQ(list.Cursor(), busy);
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
        EXPECT_EQ(gui.hwndFocus, List(window));

        // Row 0 is a folder in the old rows ("eins") and in the new ones ("sub"); opening
        // it, going back and restarting all do nothing while the scan runs.
        list.DoubleClickRow(0);
        ClickButton(window, IDC_BACK);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_RESTART, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_RESTART)));
        EXPECT_FALSE(list.ButtonsEnabled());
        EXPECT_EQ(list.Cursor(), busy);

        ASSERT_TRUE(list.WaitForLevel(m_folder.Path("viele\\")));
        EXPECT_EQ(list.Rows(), 301);
        EXPECT_EQ(list.Text(0, 0), "sub");
        EXPECT_EQ(list.Cursor(), arrow);
        EXPECT_TRUE(list.ButtonsEnabled());
        EXPECT_EQ(list.Text(0, 2), "70.00%");
        EXPECT_EQ(list.Text(1, 2), "0.10%");
    });
}

TEST_F(NavigationTest, CtrlASelectsAllRowsAndAAloneNothing) {
    RunMainWindow(m_dialog, "PQ", [&](HWND window) {
        const ListProbe list(window);
        SetForegroundWindow(window);
        FocusList(window);
        Settle(window);
        // Drive view.
        SendKeys({{VK_CONTROL, true}, {'A', true}, {'A', false}, {VK_CONTROL, false}});
        EXPECT_TRUE(WaitFor([&] { return SelectedCount(window) == 2; }));

        list.Open("P:\\", "P:\\");
        list.Open(m_folder.Name(), m_folder.Path());
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
    RunMainWindow(m_dialog, "PQ", [&](HWND window) {
        const ListProbe list(window);
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
        ASSERT_EQ(list.Rows(), 2);
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
        std::snprintf(name, sizeof(name), "gross\\eintrag_%04d.dat", i);
        ASSERT_TRUE(MakeFile(m_folder.Path(name), static_cast<uint64_t>(i % 7)));
    }
    RunMainWindow(m_dialog, "P", [&](HWND window) {
        const ListProbe list(window);
        list.Open("P:\\", "P:\\");
        list.Open(m_folder.Name(), m_folder.Path());
        int total = 0;
        for (int i = 0; i < count; ++i)
            total += i % 7;
        const int row = list.RowOf("gross");
        ASSERT_GE(row, 0);
        EXPECT_EQ(list.Text(row, 1), FormatSize(static_cast<uint64_t>(total)));

        list.Open("gross", m_folder.Path("gross\\"));
        ASSERT_EQ(list.Rows(), count);
        // Each row shows an entry of its own with its size, in size order; the first row is
        // marked and in view.
        std::vector<bool> seen(count, false);
        for (int i = 0, previous = 7; i < count; ++i) {
            int index = -1;
            ASSERT_EQ(std::sscanf(list.Text(i).c_str(), "eintrag_%d.dat", &index), 1) << i;
            ASSERT_TRUE(index >= 0 && index < count && !seen[index]) << "row " << i;
            seen[index] = true;
            ASSERT_EQ(list.Text(i, 1), FormatSize(static_cast<uint64_t>(index % 7))) << i;
            ASSERT_LE(index % 7, previous) << i;
            previous = index % 7;
        }
        EXPECT_EQ(list.SelectionMark(), 0);
        EXPECT_EQ(SendMessageW(List(window), LVM_GETTOPINDEX, 0, 0), 0);
    });
}

TEST(Clipboard, TextWithCharactersOutsideTheCodePageReadsBack) {
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        const CString text = "P:\\Ordner äöü\\Ωμέγα 日本\\Voldix.exe";
        ASSERT_TRUE(CopyTextToClipboard(window, "vorher"));
        ASSERT_TRUE(CopyTextToClipboard(window, text));
        EXPECT_EQ(ClipboardText(), text.str());
        // Windows offers the same text in the user's code page; what it cannot show there
        // becomes '?'.
        const std::string narrow = ClipboardText(CF_TEXT);
        ASSERT_GE(narrow.size(), 13u) << narrow;
        EXPECT_EQ(narrow.substr(0, 13), "P:\\Ordner \xe4\xf6\xfc");
        EXPECT_EQ(narrow.substr(narrow.size() - 11), "\\Voldix.exe");

        ASSERT_TRUE(CopyTextToClipboard(window, ""));
        EXPECT_EQ(ClipboardText(), "");
    });
}
