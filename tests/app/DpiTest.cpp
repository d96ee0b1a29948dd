// The main window at other scales: stored column widths in 96-DPI units, and a move to a
// screen of another DPI (WM_DPICHANGED, which Wine never sends itself).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "res/resource.h"
#include "support/StoredSettings.h"
#include "support/MainWindow.h"
#include "support/WindowDriver.h"

namespace {
std::vector<int> ColumnWidths(HWND list) {
    std::vector<int> widths;
    for (int c = 0; c < 5; ++c)
        widths.push_back(ListView_GetColumnWidth(list, c));
    return widths;
}

int FontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    return std::abs(font.lfHeight);
}

// The size of every control of the window, in z order.
std::vector<std::pair<LONG, LONG>> ControlSizes(HWND window) {
    std::vector<std::pair<LONG, LONG>> sizes;
    RECT r;
    for (HWND c = GetWindow(window, GW_CHILD); c && GetWindowRect(c, &r);
         c = GetWindow(c, GW_HWNDNEXT))
        sizes.push_back({r.right - r.left, r.bottom - r.top});
    return sizes;
}

int IconSize(HWND list) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_SMALL), &cx, &cy);
    return cx == cy ? cx : -1;
}
} // namespace

TEST(StoredWidths, At96DpiUnchangedAndBackFromAnyScaleWithoutDrift) {
    EXPECT_EQ(StoredWidthText({120, 60, 61, 62}, 96), "120,60,61,62,");
    EXPECT_EQ(ColumnWidthForDpi(70000, 96), kMaxStoredColumnWidth);
    EXPECT_EQ(ColumnWidthForDpi(-5, 192), 0);
    for (long stored = 0; stored <= 1000; ++stored) {
        ASSERT_EQ(ColumnWidthForDpi(stored, 96), stored);
        ASSERT_EQ(ColumnWidthForDpi(stored, 192), 2 * stored);
        for (UINT dpi : {120u, 144u, 192u, 240u}) {
            const int pixels = ColumnWidthForDpi(stored, dpi);
            ASSERT_EQ(StoredWidthText({pixels}, dpi), std::to_string(stored) + ",")
                << stored << " at " << dpi;
        }
    }
}

TEST(MainWindowDpi, MoveToAnotherScaleTakesTheRectangleAndScalesColumnsImagesAndFont) {
    CUsageDlg dialog;
    RunMainWindow(dialog, "P", [&](HWND window) {
        HWND list = GetDlgItem(window, IDC_LIST);
        const std::vector<int> widths = ColumnWidths(list);
        const int fontHeight = FontHeight(list);
        ASSERT_EQ(IconSize(list), 16);
        auto moveTo = [&](UINT dpi, RECT rect) {
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&rect));
            RECT now;
            GetWindowRect(window, &now);
            EXPECT_TRUE(EqualRect(&now, &rect)) << dpi;
        };

        moveTo(192, RECT{20, 10, 20 + 2 * 365, 10 + 2 * 270});
        std::vector<int> doubled;
        for (int width : widths)
            doubled.push_back(2 * width);
        EXPECT_EQ(ColumnWidths(list), doubled);
        EXPECT_EQ(IconSize(list), 32);
        EXPECT_EQ(FontHeight(list), 2 * fontHeight);
        const RECT listRect = ChildRect(window, IDC_LIST), button = ChildRect(window, IDCANCEL);
        EXPECT_EQ(listRect.left, 16);
        EXPECT_EQ(listRect.top, 16);
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(button.bottom, client.bottom - 10);
        MINMAXINFO limits{};
        SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        EXPECT_EQ(limits.ptMinTrackSize.x, 680);
        EXPECT_EQ(limits.ptMinTrackSize.y, 354);
        ChooseCommand(window, ID_OPT_DEFAULT_SIZE);
        RECT outer;
        GetWindowRect(window, &outer);
        EXPECT_EQ(outer.right - outer.left, 730);
        EXPECT_EQ(outer.bottom - outer.top, 540);

        moveTo(96, RECT{20, 10, 385, 280});
        EXPECT_EQ(IconSize(list), 16);
        EXPECT_EQ(FontHeight(list), fontHeight);
        ListView_SetColumnWidth(list, 0, 123);
        // From 96 to 192 and back: every column width and control size exactly as before.
        const std::vector<int> at96 = ColumnWidths(list);
        const std::vector<std::pair<LONG, LONG>> sizes = ControlSizes(window);
        moveTo(192, RECT{20, 10, 750, 550});
        EXPECT_EQ(ListView_GetColumnWidth(list, 0), 246);
        moveTo(96, RECT{20, 10, 385, 280});
        EXPECT_EQ(ColumnWidths(list), at96);
        EXPECT_EQ(ControlSizes(window), sizes);
        moveTo(192, RECT{20, 10, 750, 550});
    });
    // Stored in 96-DPI units, whatever screen the window closed on.
    const std::vector<long> stored = StoredNumbers(L"ColumnWidth");
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[0], 123);
}
