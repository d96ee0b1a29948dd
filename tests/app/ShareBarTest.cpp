// The share bars behind the "Anteil" and "Belegt" cells, measured in the list as it paints
// itself into a bitmap, at 96 and 192 DPI; a drive over 90 % full is a tmpfs of 1 MiB.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/ShareBar.h"
#include "classlib/WinText.h"
#include "support/FixtureTree.h"
#include "support/MainWindow.h"
#include "support/ScratchFolder.h"

namespace {
struct Bar {
    int left = -1, top = -1, length = 0, pixels = 0;
};

// Where a row's cell, painted into a bitmap, has the colour; left is -1 if no pixel has it.
Bar BarIn(HWND list, int row, COLORREF colour, int column = kShareColumn) {
    RECT cell{LVIR_BOUNDS, column, 0, 0};
    SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    HDC screen = GetDC(list), dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, cell.right, cell.bottom));
    SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    Bar bar;
    for (int x = 0; x < cell.right - cell.left; ++x)
        for (int y = 0; y < cell.bottom - cell.top; ++y)
            if (GetPixel(dc, cell.left + x, cell.top + y) == colour) {
                bar.left = bar.left < 0 ? x : bar.left;
                bar.top = bar.top < 0 ? y : std::min(bar.top, y);
                bar.length = x - bar.left + 1;
                ++bar.pixels;
            }
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    ReleaseDC(list, screen);
    return bar;
}

COLORREF BarColour(LPARAM data) {
    const ShareBarStyle style = SystemShareBarStyle(96, GetSysColor(COLOR_WINDOW));
    return ShareBarFor(RECT{0, 0, 100, 20}, data, style).colour;
}
} // namespace

TEST(ShareBar, LengthFromTheShareAndWarningFromNinetyPercentOfADrive) {
    const auto bar = [](uint64_t part, uint64_t whole, bool warns, bool contrast = false) {
        const RECT cell{10, 0, 114, 20}; // 100 pixels inside the margins
        return ShareBarFor(cell, ShareItemData(part, whole, warns), {96, contrast, 7, 9});
    };
    EXPECT_FALSE(bar(49, 1000000, false).visible) << "shown as 0.00%";
    EXPECT_EQ(bar(50, 1000000, false).rect.right, 13);
    EXPECT_EQ(bar(3ull << 60, 1ull << 62, false).rect.right, 87);
    EXPECT_TRUE(bar(900, 1000, true).warning);
    EXPECT_FALSE(bar(899999, 1000000, true).warning || bar(999, 1000, false).warning);
    EXPECT_EQ(bar(1, 2, true, true).colour, 7u) << "high contrast: the system's highlight";
}

TEST(ShareBar, FolderBarsFollowTheShareAtEachScaleAndLeaveTheTexts) {
    ScratchFolder folder;
    ASSERT_TRUE(MakeFile(folder.Path("a"), 3000) && MakeFile(folder.Path("b"), 1000) &&
                MakeFile(folder.Path("c"), 0));
    CUsageDlg dialog;
    RunMainWindow(dialog, "P", [&](HWND window) {
        ListProbe list(window);
        ASSERT_TRUE(list.Open("P:\\", "P:\\") && list.Open(folder.Name(), folder.Path()));
        ASSERT_TRUE(list.Select({0}));
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list.List()), TRUE);
        const COLORREF selection = GetSysColor(COLOR_HIGHLIGHT);
        EXPECT_GT(BarIn(list.List(), 0, selection, 0).pixels, 0) << "the selection shows";
        EXPECT_EQ(BarIn(list.List(), 0, selection).pixels, 0) << "in the first column only";
        const COLORREF colour = BarColour(ShareItemData(1, 2, false));
        for (int scale : {1, 2}) {
            RECT outer{20, 10, 20 + 365 * scale, 10 + 270 * scale};
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(96 * scale, 96 * scale),
                         reinterpret_cast<LPARAM>(&outer));
            const Bar most = BarIn(list.List(), 0, colour), quarter = BarIn(list.List(), 1, colour);
            const int inside = ListView_GetColumnWidth(list.List(), kShareColumn) - 4 * scale;
            EXPECT_EQ(std::make_pair(most.left, most.top), std::make_pair(2 * scale, 2 * scale));
            EXPECT_NEAR(most.length, inside * 3 / 4, 1) << scale;
            EXPECT_NEAR(quarter.length, inside / 4, 1) << scale;
            EXPECT_EQ(BarIn(list.List(), 2, colour).left, -1) << "0.00 % has no bar";
        }
        EXPECT_EQ(list.Column(2), (std::vector<std::string>{"75.00%", "25.00%", "0.00%"}));
    });
}

TEST(ShareBar, DriveBarTakesTheWarningColourFromNinetyPercentUsed) {
    ScratchFolder folder;
    const std::wstring mount = Widen(UnixPath(folder.Path()).c_str()),
                       drive = Widen((UnixPath("C:\\") + "../dosdevices/t:").c_str());
    if (!RunUnix(L"mount -t tmpfs -o size=1m tmpfs '" + mount + L"'"))
        GTEST_SKIP() << "no tmpfs mounts here";
    struct Undo {
        std::wstring commands;
        ~Undo() { RunUnix(commands); }
    } undo{L"rm -f '" + drive + L"'; umount '" + mount + L"'"};
    ASSERT_TRUE(MakeFile(folder.Path("full"), 940 * 1024) &&
                RunUnix(L"ln -sfn '" + mount + L"' '" + drive + L"'"));
    CUsageDlg dialog;
    RunMainWindow(dialog, "PT", [&](HWND window) {
        ListProbe list(window);
        const int full = list.RowOf("T:\\"), roomy = list.RowOf("P:\\");
        ASSERT_TRUE(full >= 0 && roomy >= 0);
        EXPECT_EQ(list.Text(full, 2)[0], '9') << list.Text(full, 2).c_str();
        EXPECT_GT(BarIn(list.List(), full, BarColour(ShareItemData(9, 10, true))).length, 0);
        EXPECT_GT(BarIn(list.List(), roomy, BarColour(ShareItemData(1, 2, true))).length, 0);
    });
}
