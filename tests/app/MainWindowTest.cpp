// The main window from its real template: controls, columns, layout, cursor, menus
// and the periodic dedication check.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "app/UsageApp.h"
#include "classlib/Menu.h"
#include "res/resource.h"
#include "support/MainWindow.h"
#include "support/TestClock.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"

namespace {
void SetClientSize(HWND window, int width, int height) {
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int frameX = (outer.right - outer.left) - client.right;
    const int frameY = (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(window, nullptr, 0, 0, width + frameX, height + frameY, SWP_NOMOVE | SWP_NOZORDER);
    Settle(window);
}

bool MenuHasCommand(HMENU menu, UINT id) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (GetMenuItemID(menu, i) == id)
            return true;
    return false;
}

int CountCommand(HMENU menu, UINT id) {
    int count = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        count += GetMenuItemID(menu, i) == id;
    return count;
}
} // namespace

TEST(MainWindow, TemplateControlsColumnsAndIcons) {
    CUsageDlg dialog;
    RunMainWindow(dialog, "P", [&](HWND window) {
        EXPECT_EQ(WindowTitle(window), "Voldix");
        EXPECT_EQ(ItemText(window, IDC_BACK), "&Zurück");
        EXPECT_EQ(ItemText(window, IDC_RESTART), "&Neustart");
        EXPECT_EQ(ItemText(window, IDCANCEL), "&Beenden");
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(window, IDC_BACK), GWL_STYLE) & BS_DEFPUSHBUTTON);
        EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        const LONG listStyle = GetWindowLongW(GetDlgItem(window, IDC_LIST), GWL_STYLE);
        EXPECT_EQ(listStyle & LVS_TYPEMASK, LVS_REPORT);
        EXPECT_TRUE(listStyle & LVS_SHOWSELALWAYS);
        EXPECT_FALSE(listStyle & LVS_SINGLESEL);

        HWND list = GetDlgItem(window, IDC_LIST);
        ASSERT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 5);
        const char* headings[] = {"Eintrag", "Grösse", "Belegt", "Frei", "System"};
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(ListProbe(window).Heading(c), headings[c]);
        // Widths come from the client width of the list as the template sizes it.
        RECT client;
        GetClientRect(list, &client);
        EXPECT_EQ(ListProbe(window).ColumnWidth(0), client.right * 4 / 12);
        for (int c = 1; c < 5; ++c)
            EXPECT_EQ(ListProbe(window).ColumnWidth(c), client.right * 2 / 12);

        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
        HIMAGELIST images =
            reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        ASSERT_NE(images, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(images), 6);
    });
}

TEST(MainWindow, SystemMenuGetsTopmostAndAbout) {
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        CMenu menu(GetSystemMenu(window, FALSE));
        const int n = menu.GetMenuItemCount();
        ASSERT_GE(n, 4);
        EXPECT_TRUE(menu.GetMenuState(n - 4, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ(menu.GetMenuItemID(n - 3), static_cast<UINT>(ID_OPT_TOPMOST));
        EXPECT_EQ(menu.GetMenuString(n - 3, MF_BYPOSITION), "Vor&dergrund");
        EXPECT_TRUE(menu.GetMenuState(n - 2, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ(menu.GetMenuItemID(n - 1), static_cast<UINT>(IDM_ABOUTBOX));
        EXPECT_EQ(menu.GetMenuString(n - 1, MF_BYPOSITION), "Inf&o über Voldix...");
    });
}

TEST(MainWindow, LayoutFollowsTheClientArea) {
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        // The template's buttons take their pixel width from the dialog font; give them
        // the 75 pixels of the classic system font, which the layout then keeps.
        for (int id : {IDC_BACK, IDC_RESTART, IDCANCEL}) {
            const RECT r = ChildRect(window, id);
            MoveWindow(GetDlgItem(window, id), r.left, r.top, 75, r.bottom - r.top, TRUE);
        }
        for (int height : {300, 420}) {
            SetClientSize(window, 500, height);
            RECT client;
            GetClientRect(window, &client);
            ASSERT_EQ(client.right, 500);
            const RECT list = ChildRect(window, IDC_LIST);
            EXPECT_EQ(list.left, 8);
            EXPECT_EQ(list.top, 8);
            EXPECT_EQ(client.right - list.right, 10);
            EXPECT_EQ(client.bottom - list.bottom, 36);
            const RECT back = ChildRect(window, IDC_BACK);
            const RECT restart = ChildRect(window, IDC_RESTART);
            const RECT quit = ChildRect(window, IDCANCEL);
            ASSERT_EQ(back.right - back.left, 75);
            EXPECT_EQ(back.left, 113);
            EXPECT_EQ(restart.left, 212);
            EXPECT_EQ(quit.left, 311);
            for (const RECT& button : {back, restart, quit})
                EXPECT_EQ(client.bottom - button.bottom, 5);
        }
        // Odd widths: each half is an integer division of its own.
        SetClientSize(window, 601, 300);
        EXPECT_EQ(ChildRect(window, IDC_BACK).left, 601 / 2 - 75 / 2 - 100);
        EXPECT_EQ(ChildRect(window, IDCANCEL).left, 601 / 2 - 75 / 2 + 98);
    });
}

TEST(MainWindow, MinimumTrackSize) {
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        MINMAXINFO info{};
        info.ptMinTrackSize = {10, 10};
        SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMinTrackSize.x, 340);
        EXPECT_EQ(info.ptMinTrackSize.y, 177);
    });
}

TEST(MainWindow, BusyCursorSwitchesAtOnce) {
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        // Share the window thread's input state, so that GetCursor sees its cursor.
        const DWORD uiThread = GetWindowThreadProcessId(window, nullptr);
        ASSERT_TRUE(AttachThreadInput(GetCurrentThreadId(), uiThread, TRUE));
        HCURSOR busy = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_CURSOR_BUSY));
        HCURSOR arrow = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_CURSOR_ARROW));
        ASSERT_NE(busy, nullptr);
        ASSERT_NE(arrow, nullptr);
        dialog.SetWorking(true);
        EXPECT_EQ(GetCursor(), busy);
        SetCursor(nullptr);
        HWND list = GetDlgItem(window, IDC_LIST);
        EXPECT_EQ(SendMessageW(list, WM_SETCURSOR, reinterpret_cast<WPARAM>(list),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                  TRUE);
        EXPECT_EQ(GetCursor(), busy);
        dialog.SetWorking(false);
        EXPECT_EQ(GetCursor(), arrow);
        AttachThreadInput(GetCurrentThreadId(), uiThread, FALSE);
    });
}

TEST(MainWindow, MemorialItemsComeAndGoWithTheDate) {
    g_julyHour = 10;
    TestClock clock(&JulyFirstClock);
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        HMENU system = GetSystemMenu(window, FALSE);
        HMENU info = GetSubMenu(GetMenu(window), 1);
        ASSERT_TRUE(WaitForPeriodicRounds(2)) << "the periodic thread does not run";
        EXPECT_FALSE(MenuHasCommand(system, ID_MEMORIAL));
        EXPECT_FALSE(MenuHasCommand(info, ID_MEMORIAL));
        g_julyHour = 11;
        EXPECT_TRUE(WaitFor([&] { return MenuHasCommand(info, ID_MEMORIAL); }));
        EXPECT_TRUE(WaitFor([&] { return MenuHasCommand(system, ID_MEMORIAL); }));
        ASSERT_TRUE(WaitForPeriodicRounds(3)) << "the periodic thread does not run";
        EXPECT_EQ(CountCommand(system, ID_MEMORIAL), 1);
        EXPECT_EQ(CountCommand(info, ID_MEMORIAL), 1);
        EXPECT_EQ(GetMenuItemID(info, GetMenuItemCount(info) - 1), static_cast<UINT>(ID_MEMORIAL));
        CMenu infoMenu(info);
        EXPECT_EQ(infoMenu.GetMenuString(ID_MEMORIAL, MF_BYCOMMAND), "&Memoriam");
        g_julyHour = 13;
        EXPECT_TRUE(WaitFor([&] { return !MenuHasCommand(info, ID_MEMORIAL); }));
        EXPECT_TRUE(WaitFor([&] { return !MenuHasCommand(system, ID_MEMORIAL); }));
    });
}

TEST(MainWindow, DestructorStopsThePeriodicThreadQuickly) {
    CUsageDlg* dialog = new CUsageDlg;
    RunMainWindow(*dialog, "", [](HWND) {});
    const DWORD start = GetTickCount();
    delete dialog;
    EXPECT_LE(GetTickCount() - start, 150u);
}

TEST(DateRule, MemorialPeriodIsElevenToOneOnFirstJuly) {
    struct Case {
        int month, day, hour, minute, second;
        bool expected;
    };
    const Case cases[] = {{7, 1, 10, 59, 59, false}, {7, 1, 11, 0, 0, true},
                          {7, 1, 12, 59, 59, true},  {7, 1, 13, 0, 0, false},
                          {7, 2, 11, 30, 0, false},  {6, 1, 11, 30, 0, false}};
    static COleDateTime now;
    TestClock clock([] { return now; });
    for (const Case& c : cases) {
        now = COleDateTime(2031, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(CUsageApp::IsMemorialTime(), c.expected)
            << c.month << "/" << c.day << " " << c.hour << ":" << c.minute;
    }
}

TEST(StartUp, OldFreeSpaceOnlyOnWindows95BeforeOsr2) {
    OSVERSIONINFOA version{};
    version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    version.dwMajorVersion = 4;
    version.dwMinorVersion = 0;
    EXPECT_TRUE(NeedsOldFreeSpace(version));
    std::strcpy(version.szCSDVersion, " B");
    EXPECT_FALSE(NeedsOldFreeSpace(version));
    std::strcpy(version.szCSDVersion, " a");
    EXPECT_TRUE(NeedsOldFreeSpace(version));
    version.dwMinorVersion = 10; // Windows 98
    EXPECT_FALSE(NeedsOldFreeSpace(version));
    version.dwPlatformId = VER_PLATFORM_WIN32_NT;
    version.dwMinorVersion = 0;
    version.szCSDVersion[0] = 0;
    EXPECT_FALSE(NeedsOldFreeSpace(version));
}

TEST(ClassLayer, FailedSubclassLeavesTheWindowAsItWas) {
    // The desktop window's procedure is out of this program's reach.
    HWND desktop = GetDesktopWindow();
    CWnd wnd;
    EXPECT_FALSE(wnd.SubclassWindow(desktop));
    EXPECT_EQ(GetPropW(desktop, L"Voldix.CWnd"), nullptr);
    EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
}
