// Voldix.exe closed in every way a user has: each stores all five settings under the
// current user's key, and the next start brings them back.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cwchar>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "support/RemoteProgram.h"
#include "support/StoredSettings.h"
#include "support/WindowDriver.h"

namespace {
constexpr uint32_t kDefaultOptions = 0x3FFFFFC6u;
const RECT kMovedTo{40, 30, 560, 430};
constexpr int kColumnWidth = 77;

void ClickAt(POINT point) {
    SetCursorPos(point.x, point.y);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// A screen point over the window's close box, found by asking the window itself.
bool CloseBoxPoint(HWND window, POINT& point) {
    RECT rect;
    GetWindowRect(window, &rect);
    for (int y = rect.top; y < rect.top + 40; y += 2)
        for (int x = rect.right - 1; x > rect.right - 80; x -= 2)
            if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                point = {x, y};
                return true;
            }
    return false;
}

POINT ButtonCentre(HWND window, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(window, id), &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Brings the program's window to the front for keyboard and mouse input.
void Activate(HWND window) {
    SetForegroundWindow(window);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }))
        << "the window did not come to the front";
    Settle(window);
}

// Whether a menu of the window's process is open.
bool MenuIsOpen(HWND window) {
    return FindTopLevelWindow([&](HWND candidate) {
               return WindowProcess(candidate) == WindowProcess(window) &&
                      WindowClass(candidate) == L"#32768";
           }) != nullptr;
}

// Starts Voldix.exe afresh, changes what the five values hold (always on top, a column
// width, the window's place), closes it the given way and checks that it ended.
void RunAndClose(const char* how, const std::function<void(HWND)>& close) {
    SCOPED_TRACE(how);
    RemoteProgram program;
    ASSERT_TRUE(program.Start());
    HWND window = program.Window();
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_OPT_TOPMOST, 0), 0);
    Settle(window);
    SendMessageW(GetDlgItem(window, IDC_LIST), LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(kColumnWidth, 0));
    SetWindowPos(window, nullptr, kMovedTo.left, kMovedTo.top, kMovedTo.right - kMovedTo.left,
                 kMovedTo.bottom - kMovedTo.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Settle(window);
    {
        const CursorPlace keep;
        close(window);
    }
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(5000, &code));
    EXPECT_EQ(code, 0u);

    const StoredValue options = ReadStoredValue(L"Options");
    EXPECT_TRUE(options.present && options.type == REG_DWORD);
    EXPECT_EQ(options.Number(), kDefaultOptions);
    const StoredValue topmost = ReadStoredValue(L"Vordergrund");
    EXPECT_TRUE(topmost.present && topmost.type == REG_DWORD);
    EXPECT_EQ(topmost.Number(), 1u);
    EXPECT_EQ(ReadStoredValue(L"ColumnWidth").type, static_cast<DWORD>(REG_SZ));
    const std::vector<long> widths = StoredNumbers(L"ColumnWidth");
    ASSERT_EQ(widths.size(), 4u);
    EXPECT_EQ(widths[1], kColumnWidth);
    EXPECT_EQ(ReadStoredValue(L"WP").type, static_cast<DWORD>(REG_SZ));
    const std::vector<long> placement = StoredNumbers(L"WP");
    ASSERT_EQ(placement.size(), 10u);
    EXPECT_EQ(placement[1], SW_SHOWNORMAL);
    EXPECT_EQ(placement[6], kMovedTo.left);
    EXPECT_EQ(placement[7], kMovedTo.top);
    EXPECT_EQ(placement[8], kMovedTo.right);
    EXPECT_EQ(placement[9], kMovedTo.bottom);
    const StoredValue logMax = ReadStoredValue(L"LogMax");
    EXPECT_TRUE(logMax.present && logMax.type == REG_DWORD);
    EXPECT_EQ(logMax.Number(), 1048576u);
}
} // namespace

TEST(SettingsEndToEnd, EveryWayOfClosingStoresAllFiveValues) {
    RunAndClose("close box clicked", [](HWND window) {
        Activate(window);
        POINT point;
        ASSERT_TRUE(CloseBoxPoint(window, point));
        ClickAt(point);
    });
    RunAndClose("Close of the system menu",
                [](HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
    RunAndClose("Alt+F4", [](HWND window) {
        Activate(window);
        SendKeys({{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}});
    });
    RunAndClose("WM_CLOSE", [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
    RunAndClose("Escape", [](HWND window) {
        Activate(window);
        SendKeys({{VK_ESCAPE, true}, {VK_ESCAPE, false}});
    });
    RunAndClose("&Beenden clicked", [](HWND window) {
        Activate(window);
        ClickAt(ButtonCentre(window, IDCANCEL));
    });
    RunAndClose("Be&enden from the menu by its keys", [](HWND window) {
        Activate(window);
        SendKeys({{VK_MENU, true}, {'O', true}, {'O', false}, {VK_MENU, false}});
        ASSERT_TRUE(WaitFor([&] { return MenuIsOpen(window); })) << "the menu did not open";
        SendKeys({{'E', true}, {'E', false}});
    });
}

TEST(SettingsEndToEnd, TheNextStartBringsTheValuesBack) {
    RunAndClose("WM_CLOSE", [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
    RemoteProgram program;
    ASSERT_TRUE(program.Start(15000, true));
    HWND window = program.Window();
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_TRUE(EqualRect(&rect, &kMovedTo));
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(SendMessageW(GetDlgItem(window, IDC_LIST), LVM_GETCOLUMNWIDTH, 1, 0), kColumnWidth);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_OPT_QUIT, 0), 0);
    EXPECT_TRUE(program.WaitForExit(5000));
}
