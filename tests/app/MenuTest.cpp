// The command surface of the main window: the menu bar and the system menu read back
// item by item, the context menu of the list, the tooltips, F1, "&Memoriam", the
// "E&xplorer" path and "Be&enden".
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <string>
#include <thread>
#include <vector>

#include "app/UsageApp.h"
#include "classlib/Menu.h"
#include "classlib/WinText.h"
#include "res/resource.h"
#include "support/FixtureTree.h"
#include "support/MainWindow.h"
#include "support/ScratchFolder.h"
#include "support/StoredSettings.h"
#include "support/TestClock.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"

namespace {
// One menu item as a user sees it.
struct Item {
    UINT id;
    std::string text;
    bool separator;
    bool checked;
    bool operator==(const Item& o) const {
        return id == o.id && text == o.text && separator == o.separator && checked == o.checked;
    }
};

std::ostream& operator<<(std::ostream& out, const Item& item) {
    return out << "{" << item.id << ", \"" << item.text << "\"" << (item.separator ? " sep" : "")
               << (item.checked ? " checked" : "") << "}";
}

Item Separator() {
    return {0, "", true, false};
}

// The items of a menu; the program's own items are never disabled or greyed.
std::vector<Item> ReadItems(HMENU handle) {
    CMenu menu(handle);
    std::vector<Item> items;
    for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
        const UINT state = menu.GetMenuState(i, MF_BYPOSITION);
        const bool separator = (state & MF_SEPARATOR) != 0;
        if (!separator && menu.GetMenuItemID(i) < 0xF000) {
            EXPECT_FALSE(state & (MF_GRAYED | MF_DISABLED)) << menu.GetMenuString(i, MF_BYPOSITION);
        }
        items.push_back({separator ? 0 : menu.GetMenuItemID(i),
                         separator ? "" : menu.GetMenuString(i, MF_BYPOSITION).str(), separator,
                         (state & MF_CHECKED) != 0});
    }
    return items;
}

std::vector<Item> OptionsMenu(bool labelChecked, bool topmostChecked) {
    return {{ID_OPT_DRIVE_TYPES, "&Laufwerkstypen...", false, false},
            {ID_OPT_DRIVE_LETTERS, "Laufwerks&buchstaben...", false, false},
            Separator(),
            {ID_OPT_VOLUME_LABEL, "Datenträgerbezeich&nung", false, labelChecked},
            {ID_OPT_TOPMOST, "&Vordergrund", false, topmostChecked},
            Separator(),
            {ID_OPT_DEFAULT_SIZE, "&Urgroesse", false, false},
            Separator(),
            {ID_OPT_LOG, "&Protokoll", false, false},
            Separator(),
            {ID_OPT_QUIT, "Be&enden", false, false}};
}

std::vector<Item> InfoMenu(bool memorial) {
    std::vector<Item> items{{IDM_ABOUTBOX, "&Info über Voldix", false, false},
                            {ID_INFO_UPDATE, "&Update suchen", false, false}};
    if (memorial)
        items.push_back({ID_MEMORIAL, "&Memoriam", false, false});
    return items;
}

// The items the program appends to the system menu, after the system's own.
std::vector<Item> SystemMenuAdditions(bool topmostChecked, bool memorial) {
    std::vector<Item> items{Separator(),
                            {ID_OPT_TOPMOST, "Vor&dergrund", false, topmostChecked},
                            Separator(),
                            {IDM_ABOUTBOX, "Inf&o über Voldix...", false, false}};
    if (memorial)
        items.push_back({ID_MEMORIAL, "&Memoriam", false, false});
    return items;
}

void ExpectSystemMenu(HWND window, bool topmostChecked, bool memorial) {
    const std::vector<Item> items = ReadItems(GetSystemMenu(window, FALSE));
    const std::vector<Item> additions = SystemMenuAdditions(topmostChecked, memorial);
    ASSERT_GT(items.size(), additions.size());
    const std::vector<Item> own(items.begin(), items.end() - additions.size());
    EXPECT_EQ(std::vector<Item>(items.end() - additions.size(), items.end()), additions);
    // The system's own items come first and still hold the usual commands.
    for (UINT command : {SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
        EXPECT_TRUE(std::any_of(own.begin(), own.end(), [&](const Item& item) {
            return item.id == command;
        })) << command;
    for (const Item& item : own)
        EXPECT_TRUE(item.separator || item.id >= 0xF000) << item;
}

// The main window that also records every command it receives.
class RecordingDlg : public CUsageDlg {
  public:
    std::vector<UINT> commands;

  protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        commands.push_back(LOWORD(wParam));
        return CUsageDlg::OnCommand(wParam, lParam);
    }
};

// The top-level windows of this process with the title, shown yet or not.
std::vector<HWND> OwnWindowsTitled(const char* title) {
    std::vector<HWND> found;
    for (HWND window : TopLevelWindows())
        if (WindowProcess(window) == GetCurrentProcessId() && WindowTitle(window) == title)
            found.push_back(window);
    return found;
}

// What a right-click on the list brought up.
struct ContextMenuSeen {
    bool opened = false;
    std::vector<Item> items;
    RECT rect{};
};

// Sends the list's NM_RCLICK as the list view does. A tracked popup menu keeps the
// handler from returning, so a handler that returns by itself opened none; a menu that
// opens is read back through its window (class "#32768") and then dismissed, by
// choosing the item of the mnemonic if one is given, else by cancelling it.
ContextMenuSeen RightClickList(HWND dialog, wchar_t mnemonic = 0) {
    ContextMenuSeen seen;
    std::atomic<bool> returned{false};
    std::thread clicker([&] {
        NMITEMACTIVATE click{};
        click.hdr.hwndFrom = GetDlgItem(dialog, IDC_LIST);
        click.hdr.idFrom = IDC_LIST;
        click.hdr.code = NM_RCLICK;
        click.iItem = -1;
        SendMessageW(dialog, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&click));
        returned = true;
    });
    HWND menuWindow = nullptr;
    const bool answered = WaitFor(
        [&] { return returned || (menuWindow = FindOwnWindowOfClass(L"#32768")) != nullptr; });
    EXPECT_TRUE(answered) << "the right-click neither opened a menu nor returned";
    if (!answered)
        SendMessageW(dialog, WM_CANCELMODE, 0, 0);
    if (menuWindow) {
        seen.opened = true;
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        seen.items = ReadItems(menu);
        GetWindowRect(menuWindow, &seen.rect);
        if (mnemonic)
            PostMessageW(menuWindow, WM_CHAR, mnemonic, 0);
        else
            SendMessageW(dialog, WM_CANCELMODE, 0, 0);
    }
    clicker.join();
    Settle(dialog);
    return seen;
}

// Asks for a tooltip's text the way the tooltip control does; empty when not answered.
std::wstring ToolTipText(HWND dialog, HWND tool, UINT flags = TTF_IDISHWND) {
    NMTTDISPINFOW request{};
    request.hdr.hwndFrom = nullptr;
    request.hdr.idFrom = reinterpret_cast<UINT_PTR>(tool);
    request.hdr.code = TTN_GETDISPINFOW;
    request.uFlags = flags;
    SendMessageW(dialog, WM_NOTIFY, request.hdr.idFrom, reinterpret_cast<LPARAM>(&request));
    if (request.lpszText && !IS_INTRESOURCE(request.lpszText))
        return request.lpszText;
    return request.szText;
}

// Waits for the shell's Explorer window with this title (another process).
HWND WaitForExplorer(const wchar_t* title) {
    HWND found = nullptr;
    WaitFor([&] {
        return (found = FindTopLevelWindow([&](HWND window) {
                    return WindowClass(window) == L"ExplorerWClass" &&
                           WindowTitle(window) == Narrow(title);
                })) != nullptr;
    });
    return found;
}

// Closes an Explorer window and waits until its process has ended, so that nothing the
// test started outlives it.
void CloseExplorer(HWND explorer) {
    DWORD processId = 0;
    GetWindowThreadProcessId(explorer, &processId);
    DWORD desktopProcess = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &desktopProcess);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
    PostMessageW(explorer, WM_CLOSE, 0, 0);
    if (process && processId != desktopProcess &&
        WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
    }
    if (process)
        CloseHandle(process);
}

// Running processes of the platform's help viewers.
int CountHelpViewers() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32W process{};
    process.dwSize = sizeof(process);
    for (BOOL more = Process32FirstW(snapshot, &process); more;
         more = Process32NextW(snapshot, &process))
        count += _wcsicmp(process.szExeFile, L"winhlp32.exe") == 0 ||
                 _wcsicmp(process.szExeFile, L"hh.exe") == 0 ||
                 _wcsicmp(process.szExeFile, L"winhelp.exe") == 0;
    CloseHandle(snapshot);
    return count;
}

CString ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &size);
    return Narrow(name);
}

// Waits for the greeting box owned by the dialog; returns its caption and text and
// closes it with OK.
bool TakeGreeting(HWND dialog, CString& caption, CString& text) {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindOwnWindowOfClass(L"#32770", dialog)) != nullptr; }))
        return false;
    Settle(box);
    caption = WindowTitle(box);
    text = ItemText(box, 0xFFFF);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return WaitFor([&] { return !IsWindow(box); });
}
} // namespace

TEST(Menus, MenuBarReadsBackItemByItem) {
    g_julyHour = 9;
    TestClock clock(&JulyFirstClock);
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        HMENU bar = GetMenu(window);
        CMenu barMenu(bar);
        ASSERT_EQ(barMenu.GetMenuItemCount(), 2);
        EXPECT_EQ(barMenu.GetMenuString(0, MF_BYPOSITION), "&Optionen");
        EXPECT_EQ(barMenu.GetMenuString(1, MF_BYPOSITION), "&Info");
        EXPECT_EQ(ReadItems(GetSubMenu(bar, 0)), OptionsMenu(false, false));
        EXPECT_EQ(ReadItems(GetSubMenu(bar, 1)), InfoMenu(false));
        ExpectSystemMenu(window, false, false);

        ChooseCommand(window, ID_OPT_VOLUME_LABEL);
        ChooseCommand(window, ID_OPT_TOPMOST);
        EXPECT_EQ(ReadItems(GetSubMenu(bar, 0)), OptionsMenu(true, true));
        ExpectSystemMenu(window, true, false);

        // During the dedication period both menus end with "&Memoriam".
        g_julyHour = 11;
        EXPECT_TRUE(WaitFor([&] { return ReadItems(GetSubMenu(bar, 1)).size() == 3; }));
        // Two more rounds of the periodic thread: the first of them has ended.
        ASSERT_TRUE(WaitForPeriodicRounds(2)) << "the periodic thread does not run";
        EXPECT_EQ(ReadItems(GetSubMenu(bar, 1)), InfoMenu(true));
        ExpectSystemMenu(window, true, true);
        EXPECT_EQ(ReadItems(GetSubMenu(bar, 0)), OptionsMenu(true, true));
    });
}

TEST(Menus, ContextMenuOpensOnlyWithASelectionAndNoWorker) {
    RecordingDlg dialog;
    RunMainWindow(dialog, "PQ", [&](HWND window) {
        ASSERT_EQ(ListProbe(window).Rows(), 2);
        ListProbe(dialog.m_hWnd).Select({});
        EXPECT_FALSE(RightClickList(window).opened);

        ListProbe(dialog.m_hWnd).Select({1});
        dialog.SetWorking(true);
        EXPECT_FALSE(RightClickList(window).opened);
        dialog.SetWorking(false);

        // The menu opens centred on the cursor with its three items.
        const CursorPlace keep;
        SetCursorPos(400, 300);
        const ContextMenuSeen seen = RightClickList(window);
        ASSERT_TRUE(seen.opened);
        const std::vector<Item> expected{
            {ID_CTX_EXPLORER, "E&xplorer", false, false},
            {ID_CTX_READONLY_CLEAR, "Schreibschutz gesamt &entfernen", false, false},
            {ID_CTX_READONLY_SET, "Schreibschutz gesamt &setzen", false, false}};
        EXPECT_EQ(seen.items, expected);
        POINT cursor;
        GetCursorPos(&cursor);
        EXPECT_NEAR((seen.rect.left + seen.rect.right) / 2, cursor.x, 1);
        EXPECT_EQ(seen.rect.top, cursor.y);
        // Cancelled: no command arrived and no menu is left behind.
        EXPECT_TRUE(dialog.commands.empty());
        EXPECT_EQ(FindOwnWindowOfClass(L"#32768"), nullptr);

        // With several rows selected it opens as well; the chosen item arrives as a command.
        ListProbe(dialog.m_hWnd).Select({0, 1});
        ASSERT_TRUE(RightClickList(window, L's').opened);
        EXPECT_EQ(dialog.commands, std::vector<UINT>{ID_CTX_READONLY_SET});
        // The read-only commands ask first; "&Nein" leaves everything as it was.
        for (wchar_t mnemonic : {L's', L'e'}) {
            if (mnemonic == L'e') {
                // Wine may hand the window the loss of focus to the question late, as a
                // WM_CANCELMODE that closes the next menu; such a menu is opened again.
                const std::vector<UINT> clear{ID_CTX_READONLY_CLEAR};
                EXPECT_TRUE(WaitFor([&] {
                    dialog.commands.clear();
                    RightClickList(window, mnemonic);
                    return dialog.commands == clear;
                })) << "choosing \"&entfernen\" from the menu sent no command";
            }
            HWND question = nullptr;
            ASSERT_TRUE(WaitFor(
                [&] { return (question = FindOwnWindowOfClass(L"#32770", window)) != nullptr; }));
            EXPECT_EQ(WindowTitle(question), "Bitte bestätigen");
            ClickButton(question, IDC_CONFIRM_NO);
            EXPECT_TRUE(WaitFor([&] { return !IsWindow(question); }));
            Settle(window);
            EXPECT_TRUE(ListProbe(window).ButtonsEnabled());
        }
    });
}

// Shift+F10 and the menu key open the context menu below the focused row, under the
// same conditions as a right click; Esc leaves the selection, a chosen item runs.
TEST(Menus, KeyboardOpensTheContextMenuAtTheFocusedRow) {
    RecordingDlg dialog;
    RunMainWindow(dialog, "PQ", [&](HWND window) {
        const ListProbe probe(window);
        HWND list = probe.List();
        SetForegroundWindow(window);
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
        const std::vector<std::pair<WORD, bool>> shiftF10{
            {VK_SHIFT, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}};
        const std::vector<std::pair<WORD, bool>> menuKey{{VK_APPS, true}, {VK_APPS, false}};
        probe.Select({});
        ASSERT_TRUE(SendKeysAndWait(window, shiftF10));
        EXPECT_EQ(FindOwnWindowOfClass(L"#32768"), nullptr) << "opened with no row selected";
        probe.Select({1});
        dialog.SetWorking(true);
        ASSERT_TRUE(SendKeysAndWait(window, menuKey));
        EXPECT_EQ(FindOwnWindowOfClass(L"#32768"), nullptr) << "opened while busy";
        dialog.SetWorking(false);

        probe.Select({0, 1});
        ListView_SetItemState(list, 1, LVIS_FOCUSED, LVIS_FOCUSED);
        RECT row = probe.RowRect(1);
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&row), 2);
        // The WM_CONTEXTMENU that follows a right click carries the mouse's position: the
        // click has opened its menu already, so this one opens none.
        PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list),
                     MAKELPARAM(row.left + 2, row.top + 2));
        ASSERT_TRUE(SendKeysAndWait(window, {}));
        if (FindOwnWindowOfClass(L"#32768")) {
            ADD_FAILURE() << "a WM_CONTEXTMENU with the mouse's position opened a menu";
            SendMessageW(window, WM_CANCELMODE, 0, 0);
        }
        for (const auto& keys : {shiftF10, menuKey}) {
            SendKeys(keys);
            HWND menu = nullptr;
            ASSERT_TRUE(WaitFor([&] { return (menu = FindOwnWindowOfClass(L"#32768")); }))
                << (keys == shiftF10 ? "Shift+F10" : "the menu key") << " opened no menu";
            RECT rect{};
            GetWindowRect(menu, &rect);
            EXPECT_GE(rect.top, row.top);
            EXPECT_LE(rect.top, row.bottom);
            EXPECT_GE(rect.left, row.left);
            EXPECT_LT(rect.left, row.right);
            if (keys == shiftF10) {
                SendKeys({{VK_ESCAPE, true}, {VK_ESCAPE, false}});
                ASSERT_TRUE(WaitFor([&] { return !IsWindow(menu); })) << "Esc left the menu open";
                Settle(window);
                EXPECT_TRUE(dialog.commands.empty());
                EXPECT_TRUE(probe.IsSelected(0) && probe.IsSelected(1));
            } else {
                SendKeys({{'S', true}, {'S', false}});
                HWND question = WaitForOwnedWindow(window, "Bitte bestätigen");
                ASSERT_NE(question, nullptr) << "the chosen command did not run";
                EXPECT_EQ(dialog.commands, std::vector<UINT>{ID_CTX_READONLY_SET});
                ClickButton(question, IDC_CONFIRM_NO);
                EXPECT_TRUE(WaitFor([&] { return !IsWindow(question); }));
            }
        }
    });
}

TEST(Menus, ExplorerTakesThePathFromTheFirstSelectedRecord) {
    const ScratchFolder folder;
    ASSERT_TRUE(MakeFile(folder.Path("Tools\\a.dat"), 100));
    ASSERT_TRUE(MakeFile(folder.Path("liesmich.txt"), 10));
    CUsageDlg dialog;
    SetOption(dialog, kVolumeLabelFlag, true);
    RunMainWindow(dialog, "PQ", [&](HWND window) {
        ASSERT_EQ(ListProbe(window).Text(0), "P:\\ [DATEN]");
        ListProbe(dialog.m_hWnd).Select({});
        EXPECT_EQ(dialog.ExplorerPath(), "");
        // At the drive list the drive's root, not the label shown beside it.
        ListProbe(dialog.m_hWnd).Select({0});
        EXPECT_EQ(dialog.ExplorerPath(), "P:\\");
        ListProbe(dialog.m_hWnd).Select({1, 0});
        EXPECT_EQ(dialog.ExplorerPath(), "P:\\");
        ListProbe(dialog.m_hWnd).Select({1});
        EXPECT_EQ(dialog.ExplorerPath(), "Q:\\");

        // In a folder view the folder below the current path.
        ListProbe(window).Open("P:\\ [DATEN]", "P:\\");
        ListProbe(window).Open(folder.Name(), folder.Path());
        ListProbe(dialog.m_hWnd).Select({0, 1});
        EXPECT_EQ(dialog.ExplorerPath(), folder.Path("Tools"));
        ListProbe(dialog.m_hWnd).Select({1});
        EXPECT_EQ(dialog.ExplorerPath(), folder.Path("liesmich.txt"));
        // While a worker runs the records are not touched.
        dialog.SetWorking(true);
        EXPECT_EQ(dialog.ExplorerPath(), "");
        dialog.SetWorking(false);
    });
}

TEST(Menus, ExplorerOpensTheDriveRootAndTheFolderOfTheRecord) {
    CreateDirectoryW(L"P:\\menutest", nullptr);
    CreateDirectoryW(L"P:\\menutest\\Werkzeuge", nullptr);
    ASSERT_EQ(GetFileAttributesW(L"P:\\menutest\\Werkzeuge") & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    CUsageDlg dialog;
    SetOption(dialog, kVolumeLabelFlag, true);
    RunMainWindow(dialog, "P", [&](HWND window) {
        // The drive row shows its label; the shell still gets the root.
        ASSERT_EQ(ListProbe(window).Text(0), "P:\\ [DATEN]");
        ListProbe(dialog.m_hWnd).Select({0});
        ChooseCommand(window, ID_CTX_EXPLORER);
        HWND explorer = WaitForExplorer(L"DATEN (P:)");
        ASSERT_NE(explorer, nullptr);
        CloseExplorer(explorer);

        ListProbe(window).Open("P:\\ [DATEN]", "P:\\");
        ListProbe(window).Open("menutest", "P:\\menutest\\");
        ListProbe(dialog.m_hWnd).Select({0});
        ChooseCommand(window, ID_CTX_EXPLORER);
        explorer = WaitForExplorer(L"Werkzeuge");
        ASSERT_NE(explorer, nullptr);
        CloseExplorer(explorer);
    });
}

TEST(Menus, ToolTipsComeFromTheStringTable) {
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        EXPECT_EQ(ToolTipText(window, GetDlgItem(window, IDC_BACK)), L"Ein Verzeichnis höher");
        EXPECT_EQ(ToolTipText(window, GetDlgItem(window, IDC_RESTART)),
                  L"Laufwerksliste neu initialisieren");
        EXPECT_EQ(ToolTipText(window, GetDlgItem(window, IDCANCEL)), L"Voldix beenden");
        EXPECT_EQ(ToolTipText(window, GetDlgItem(window, IDC_LIST)), L"");
        // Only tools that are windows are answered.
        EXPECT_EQ(ToolTipText(window, GetDlgItem(window, IDC_BACK), 0), L"");
        // The tooltip control knows each control of the dialog as a tool.
        HWND toolTip = dialog.GetToolTip();
        ASSERT_NE(toolTip, nullptr);
        for (int id : {IDC_BACK, IDC_RESTART, IDCANCEL, IDC_LIST}) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.hwnd = window;
            tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window, id));
            EXPECT_TRUE(SendMessageW(toolTip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)))
                << id;
        }
    });
}

TEST(Menus, HelpKeyOpensTheMiniHelpAndNoHelpViewer) {
    RecordingDlg dialog;
    const int helpViewers = CountHelpViewers();
    RunMainWindow(dialog, "", [&](HWND window) {
        auto helpCommands = [&] {
            Settle(window);
            return std::count(dialog.commands.begin(), dialog.commands.end(), ID_HELP);
        };
        // A real key press: the system turns F1 into WM_HELP for the focused control.
        SetForegroundWindow(window);
        Settle(window);
        SendKeys({{VK_F1, true}, {VK_F1, false}});
        HWND help = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (help = FindOwnWindowOfClass(L"#32770", window)); }))
            << "F1 opened no mini help";
        EXPECT_EQ(WindowTitle(help), "Mini-Hilfe");
        CString legend;
        legend.LoadString(IDS_MINIHELP);
        EXPECT_EQ(ItemText(help, IDC_HELP_TEXT), legend);
        EXPECT_FALSE(IsWindowEnabled(window));

        // F1 in the mini help comes to the main window as well and opens no second one.
        SetForegroundWindow(help);
        Settle(help);
        SendKeys({{VK_F1, true}, {VK_F1, false}});
        EXPECT_TRUE(WaitFor([&] { return helpCommands() == 2; }, 5000));
        // The command has been handled once the main thread serves messages again.
        Settle(window);
        const std::vector<HWND> helps = OwnWindowsTitled("Mini-Hilfe");
        EXPECT_EQ(helps.size(), 1u);
        for (HWND other : helps)
            if (other != help)
                PostMessageW(other, WM_COMMAND, IDOK, 0);

        ClickButton(help, IDOK);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(help); }));
        Settle(window);
        EXPECT_TRUE(IsWindowEnabled(window));
        EXPECT_EQ(helpCommands(), 2);
    });
    EXPECT_EQ(CountHelpViewers(), helpViewers);
}

TEST(Menus, MemorialGreetsFromEitherMenu) {
    const CString name = ComputerName();
    ASSERT_FALSE(name.IsEmpty());
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        CString caption, text;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_MEMORIAL, 0), 0);
        ASSERT_TRUE(TakeGreeting(window, caption, text));
        EXPECT_EQ(caption, "Hallo " + name + "...");
        EXPECT_EQ(text, CUsageDlg::MemorialGreeting());

        PostMessageW(window, WM_SYSCOMMAND, ID_MEMORIAL, 0);
        CString sysCaption, sysText;
        ASSERT_TRUE(TakeGreeting(window, sysCaption, sysText));
        EXPECT_EQ(sysCaption, caption);
        EXPECT_EQ(sysText, text);
        Settle(window);
        EXPECT_TRUE(IsWindowVisible(window));
    });
}

TEST(Greeting, StoredScrambledAsSixtyFiveReadableBytes) {
    const CString greeting = CUsageDlg::MemorialGreeting();
    ASSERT_EQ(greeting.GetLength(), 65);
    for (int i = 0; i < greeting.GetLength(); ++i)
        EXPECT_TRUE(std::isprint(static_cast<unsigned char>(greeting[i]))) << i;
    // The stored form is the scrambled one, and it holds no zero byte.
    CString stored = greeting;
    CUsageApp::UnscrambleText(stored);
    EXPECT_NE(stored, greeting);
    for (int i = 0; i < stored.GetLength(); ++i)
        EXPECT_NE(stored[i], '\0') << i;
}

TEST(Greeting, UnscrambleTwiceGivesTheTextBack) {
    std::string longText;
    for (int i = 0; i < 600; ++i)
        longText += static_cast<char>(i * 7);
    for (const CString& original :
         {CString("Hallo"), CString(""), CString("Grüße an Ölmühle"), CString(longText)}) {
        CString text = original;
        CUsageApp::UnscrambleText(text);
        if (!original.IsEmpty()) {
            EXPECT_NE(text, original);
        }
        EXPECT_EQ(text.GetLength(), original.GetLength());
        CUsageApp::UnscrambleText(text);
        EXPECT_EQ(text, original);
    }
}

TEST(Menus, QuitEndsTheDialogAndStoresTheSettings) {
    CUsageDlg dialog;
    const INT_PTR result = RunMainWindow(dialog, "P", [&](HWND window) {
        ChooseCommand(window, ID_OPT_TOPMOST);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_OPT_QUIT, 0), 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(ReadStoredValue(L"Vordergrund").Number(), 1u);
    EXPECT_EQ(ReadStoredValue(L"Options").Number() >> 6, 1u << (25 - ('P' - 'A')));
    EXPECT_EQ(StoredNumbers(L"ColumnWidth").size(), 4u);
    EXPECT_EQ(StoredNumbers(L"WP").size(), 10u);
    EXPECT_TRUE(ReadStoredValue(L"LogMax").present);
}

TEST(Resources, StringTableHoldsTheTipsAndPrompts) {
    const std::pair<UINT, const char*> strings[] = {
        {IDS_QUIT_TIP, "Voldix beenden"},
        {IDS_ABOUTBOX, "Inf&o über Voldix..."},
        {IDS_MINIHELP,
         "Attribute:\nA=Archiv, C=Compressed, D=Directory, E=Encrypted\nH=Hidden, N=Normal, "
         "O=Offline, R=Read-only\nL=Reparse point, P=Sparse file, S=System file, T=Temporary "
         "file\n\nFür mehr Informationen lesen Sie bitte die extern mitgelieferte ausführliche "
         "Anleitung von Voldix."},
        {IDC_BACK, "Ein Verzeichnis höher"},
        {IDC_RESTART, "Laufwerksliste neu initialisieren"},
        {IDM_ABOUTBOX, "Informationen über dieses Programm"},
        {ID_OPT_TOPMOST, "Setzt das Hauptfenster permanent in den Vordergrund"},
        {ID_OPT_DRIVE_LETTERS, "Auswahl der benutzten Laufwerksbuchstaben"},
        {ID_OPT_DRIVE_TYPES, "Auswahl der benutzten Laufwerkstypen"},
        {ID_OPT_VOLUME_LABEL,
         "Zeigt in der ersten Spalte zusätzlich noch die Bezeichnung der Datenträger an"},
        {ID_OPT_LOG, "Einsicht in das Fehler-Protokoll"},
        {ID_OPT_QUIT, "Beendet Voldix"},
        {ID_OPT_DEFAULT_SIZE, "Stellt die Originalgrösse des Hauptfensters wieder her"}};
    for (const auto& s : strings) {
        CString text;
        EXPECT_TRUE(text.LoadString(s.first)) << s.first;
        EXPECT_EQ(text, s.second) << s.first;
    }
    // The list, the update command and the greeting have no string.
    for (UINT id : {IDC_LIST, ID_INFO_UPDATE, ID_MEMORIAL}) {
        CString text;
        EXPECT_FALSE(text.LoadString(id)) << id;
    }
}
