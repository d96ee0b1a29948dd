// Settings kept between runs: the stored values read at start and written at close, the
// option packing, the two option toggles and "&Urgroesse", and malformed stored values.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "res/resource.h"
#include "support/FixtureTree.h"
#include "support/MainWindow.h"
#include "support/ScratchFolder.h"
#include "support/StoredSettings.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"

namespace {
// Drive letters C to Z, the two reserved flags; no type filter, no volume label.
constexpr uint32_t kDefaultOptions = 0x3FFFFFC6u;

bool IsChecked(HMENU menu, UINT id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool IsTopmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Position of a top-level window from the top of the z-order.
int ZOrder(HWND window) {
    int position = 0;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT), ++position)
        if (h == window)
            return position;
    return -1;
}

// Whether upper comes before lower in one reading of the z-order.
bool IsAbove(HWND upper, HWND lower) {
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h == upper)
            return true;
        if (h == lower)
            return false;
    }
    return false;
}

// Brings other to the top of the z-order, as the user would, until the z-order shows it
// below window (below is false: above window). Wine also restacks a window when the
// display reports its stacking back, a moment later: the raise is repeated until that
// has settled.
bool RaisedWindowEnds(HWND other, HWND window, bool below) {
    return WaitFor([&] {
        SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return below ? IsAbove(window, other) : IsAbove(other, window);
    });
}

RECT OuterRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

std::vector<int> ColumnWidths(HWND window) {
    std::vector<int> widths;
    for (int c = 0; c < 5; ++c)
        widths.push_back(ListProbe(window).ColumnWidth(c));
    return widths;
}

// The widths OnInitDialog gives the five columns of a list with this client width.
std::vector<int> ComputedWidths(HWND window) {
    RECT client;
    GetClientRect(GetDlgItem(window, IDC_LIST), &client);
    const int w = client.right;
    return {w * 4 / 12, w * 2 / 12, w * 2 / 12, w * 2 / 12, w * 2 / 12};
}

std::wstring Placement(long showCmd, long left, long top, long right, long bottom) {
    return L"0," + std::to_wstring(showCmd) + L",-1,-1,-1,-1," + std::to_wstring(left) + L"," +
           std::to_wstring(top) + L"," + std::to_wstring(right) + L"," + std::to_wstring(bottom) +
           L",";
}

RECT WorkArea() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// The window rectangle and the list's client width of a run without stored values: the
// template's own, from which OnInitDialog computes the column widths.
struct TemplateLook {
    RECT rect{};
    int listWidth = 0;
};
TemplateLook Template() {
    static TemplateLook look;
    if (look.listWidth == 0) {
        CUsageDlg dialog;
        RunMainWindow(dialog, "", [&](HWND window) {
            look.rect = OuterRect(window);
            RECT client;
            GetClientRect(GetDlgItem(window, IDC_LIST), &client);
            look.listWidth = client.right;
        });
    }
    return look;
}
RECT TemplateRect() {
    return Template().rect;
}

// The rectangle a run of the main window shows with the stored values as they are now,
// with a check that the window can be used: shown, not minimised, on the screen, no
// smaller than the minimum track size and no larger than the work area.
RECT RectAfterStart() {
    RECT rect{};
    CUsageDlg dialog;
    RunStored(dialog, [&](HWND window) {
        rect = OuterRect(window);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_FALSE(IsIconic(window));
        const RECT work = WorkArea();
        RECT visible;
        EXPECT_TRUE(IntersectRect(&visible, &rect, &work));
        if (!IsZoomed(window)) {
            EXPECT_GE(rect.right - rect.left, kMinWindowWidth);
            EXPECT_GE(rect.bottom - rect.top, kMinWindowHeight);
            EXPECT_LE(rect.right - rect.left, work.right - work.left);
            EXPECT_LE(rect.bottom - rect.top, work.bottom - work.top);
        }
    });
    return rect;
}

// The main window that notes whether it was maximised when OnInitDialog ended.
class StartStateDlg : public CUsageDlg {
  public:
    bool zoomedAtStart = false;

  protected:
    BOOL OnInitDialog() override {
        const BOOL result = CUsageDlg::OnInitDialog();
        zoomedAtStart = IsZoomed(m_hWnd) != 0;
        return result;
    }
};

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != 0;
}

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}
} // namespace

TEST(Options, PackingPutsDriveAInBit31AndTheVolumeLabelInBit0) {
    EXPECT_EQ(CUsageDlg().PackOptions(), kDefaultOptions);
    bool flags[kOptionFlags];
    for (int bit = 0; bit < 32; ++bit) {
        UnpackOptionFlags(1u << bit, flags);
        for (int i = 0; i < 32; ++i)
            EXPECT_EQ(flags[i], i == 31 - bit) << "bit " << bit << " flag " << i;
        EXPECT_EQ(PackOptionFlags(flags), 1u << bit);
    }
    EXPECT_EQ(kVolumeLabelFlag, 31 - 0);
    EXPECT_EQ(kNetworkFlag, 31 - 3);
    EXPECT_EQ(kCdromFlag, 31 - 4);
    EXPECT_EQ(kRemovableFlag, 31 - 5);
    CUsageDlg dialog;
    for (uint32_t value : {0u, 0xFFFFFFFFu, 0xA5A5A5A5u, 0x12345678u, 0x80000001u}) {
        dialog.UnpackOptions(value);
        EXPECT_EQ(dialog.PackOptions(), value);
    }
}

TEST(StoredText, NumbersBeforeEachCommaLikeAtoi) {
    using V = std::vector<long>;
    EXPECT_EQ(SplitStoredNumbers("120,60,60,60,", 5), (V{120, 60, 60, 60}));
    EXPECT_EQ(SplitStoredNumbers("120,60", 5), (V{120}));
    EXPECT_EQ(SplitStoredNumbers("", 5), V{});
    EXPECT_EQ(SplitStoredNumbers("1,2,3,4,5,6,7,", 5), (V{1, 2, 3, 4, 5}));
    EXPECT_EQ(SplitStoredNumbers("abc, 12x,-7,,", 5), (V{0, 12, -7, 0}));
    EXPECT_EQ(SplitStoredNumbers("99999999999999,-99999999999999,", 5), (V{LONG_MAX, LONG_MIN}));
    EXPECT_EQ(StoredColumnWidth(-5), 0);
    EXPECT_EQ(StoredColumnWidth(70000), kMaxStoredColumnWidth);
    EXPECT_EQ(StoredColumnWidth(LONG_MAX), kMaxStoredColumnWidth);
    EXPECT_EQ(StoredColumnWidth(120), 120);
}

TEST(Settings, FirstRunKeepsTheDefaultsAndTheFirstCloseStoresAllFive) {
    CUsageDlg dialog;
    std::vector<int> widths;
    RECT rect{};
    RunDialog(dialog, [&](HWND window) {
        EXPECT_FALSE(IsTopmost(window));
        EXPECT_FALSE(IsChecked(GetMenu(window), ID_OPT_TOPMOST));
        EXPECT_FALSE(IsChecked(GetSystemMenu(window, FALSE), ID_OPT_TOPMOST));
        EXPECT_FALSE(IsChecked(GetMenu(window), ID_OPT_VOLUME_LABEL));
        EXPECT_EQ(dialog.PackOptions(), kDefaultOptions);
        widths = ColumnWidths(window);
        EXPECT_EQ(widths, ComputedWidths(window));
        const std::vector<std::string> rows = ListProbe(window).Column();
        for (const char* drive : {"P:\\", "Q:\\"})
            EXPECT_NE(std::find(rows.begin(), rows.end(), drive), rows.end()) << drive;
        for (const char* drive : {"N:\\", "R:\\", "S:\\", "A:\\", "B:\\"})
            EXPECT_EQ(std::find(rows.begin(), rows.end(), drive), rows.end()) << drive;
        rect = OuterRect(window);
    });

    const StoredValue options = ReadStoredValue(L"Options");
    ASSERT_TRUE(options.present);
    EXPECT_EQ(options.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(options.Number(), kDefaultOptions);
    const StoredValue topmost = ReadStoredValue(L"Vordergrund");
    ASSERT_TRUE(topmost.present);
    EXPECT_EQ(topmost.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(topmost.Number(), 0u);
    const StoredValue widthText = ReadStoredValue(L"ColumnWidth");
    ASSERT_TRUE(widthText.present);
    EXPECT_EQ(widthText.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(widthText.Text(), std::to_wstring(widths[0]) + L"," + std::to_wstring(widths[1]) +
                                    L"," + std::to_wstring(widths[2]) + L"," +
                                    std::to_wstring(widths[3]) + L",");
    const StoredValue placement = ReadStoredValue(L"WP");
    ASSERT_TRUE(placement.present);
    EXPECT_EQ(placement.type, static_cast<DWORD>(REG_SZ));
    const std::vector<long> numbers = StoredNumbers(L"WP");
    ASSERT_EQ(numbers.size(), 10u);
    EXPECT_EQ(numbers[1], SW_SHOWNORMAL);
    // Without a task bar the workspace coordinates are the screen's.
    EXPECT_EQ(Text({numbers[6], numbers[7], numbers[8], numbers[9]}), Text(rect));
    const StoredValue logMax = ReadStoredValue(L"LogMax");
    ASSERT_TRUE(logMax.present);
    EXPECT_EQ(logMax.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(logMax.Number(), 1048576u);
}

TEST(Settings, StoredValuesComeBackAtTheNextStart) {
    Template();
    ClearStoredSettings();
    StoreNumber(L"Options", 0xFFFFFFFFu);
    StoreNumber(L"Vordergrund", 7);
    StoreText(L"ColumnWidth", L"120,60,61,62,");
    StoreText(L"WP", Placement(SW_SHOWNORMAL, 100, 80, 600, 480));
    StoreNumber(L"LogMax", 100);
    CUsageDlg dialog;
    RunStored(dialog, [&](HWND window) {
        EXPECT_EQ(dialog.PackOptions(), 0xFFFFFFFFu);
        // Every letter, every type and the labels.
        const std::vector<std::string> rows = ListProbe(window).Column();
        for (const char* drive : {"N:\\ [", "P:\\ [DATEN]", "Q:\\ []", "R:\\ [", "S:\\ ["}) {
            bool found = false;
            for (const std::string& row : rows)
                found = found || row.rfind(drive, 0) == 0;
            EXPECT_TRUE(found) << drive;
        }
        EXPECT_TRUE(IsChecked(GetMenu(window), ID_OPT_VOLUME_LABEL));
        EXPECT_TRUE(IsTopmost(window));
        EXPECT_TRUE(IsChecked(GetMenu(window), ID_OPT_TOPMOST));
        EXPECT_TRUE(IsChecked(GetSystemMenu(window, FALSE), ID_OPT_TOPMOST));
        EXPECT_EQ(ColumnWidths(window),
                  (std::vector<int>{120, 60, 61, 62, Template().listWidth * 2 / 12}));
        EXPECT_EQ(Text(OuterRect(window)), Text({100, 80, 600, 480}));
    });
    EXPECT_EQ(ReadStoredValue(L"Options").Number(), 0xFFFFFFFFu);
    EXPECT_EQ(ReadStoredValue(L"Vordergrund").Number(), 1u);
    EXPECT_EQ(ReadStoredValue(L"ColumnWidth").Text(), L"120,60,61,62,");
    EXPECT_EQ(ReadStoredValue(L"LogMax").Number(), 100u);

    // No option at all: not a single drive.
    ClearStoredSettings();
    StoreNumber(L"Options", 0);
    CUsageDlg empty;
    RunStored(empty, [&](HWND window) { EXPECT_EQ(ListProbe(window).Rows(), 0); });
    EXPECT_EQ(ReadStoredValue(L"Options").Number(), 0u);
}

TEST(Settings, WidthTextSetsOnlyThePiecesBeforeAComma) {
    ClearStoredSettings();
    StoreText(L"ColumnWidth", L"120,60");
    CUsageDlg dialog;
    RunStored(dialog, [&](HWND window) {
        std::vector<int> expected = ComputedWidths(window);
        expected[0] = 120;
        EXPECT_EQ(ColumnWidths(window), expected);
    });
}

TEST(Settings, MalformedValuesKeepTheWindowUsable) {
    const RECT original = TemplateRect();
    struct WidthCase {
        std::wstring text;
        std::vector<int> widths; // -1: the computed width
    };
    const WidthCase widthCases[] = {
        {L"99999,-5,abc,70000,50,", {kMaxStoredColumnWidth, 0, 0, kMaxStoredColumnWidth, 50}},
        {L"-99999999999999,99999999999999,", {0, kMaxStoredColumnWidth, -1, -1, -1}},
        {std::wstring(150, L'7') + L"," + std::wstring(149, L'7'), {-1, -1, -1, -1, -1}},
        {[] {
             std::wstring text;
             while (text.size() < 300)
                 text += L"10,";
             return text;
         }(),
         {-1, -1, -1, -1, -1}},
    };
    for (const WidthCase& c : widthCases) {
        ClearStoredSettings();
        StoreText(L"ColumnWidth", c.text);
        CUsageDlg dialog;
        RunStored(dialog, [&](HWND window) {
            const std::vector<int> computed = ComputedWidths(window);
            for (int column = 0; column < 5; ++column)
                EXPECT_EQ(ListProbe(window).ColumnWidth(column),
                          c.widths[column] < 0 ? computed[column] : c.widths[column])
                    << "column " << column << " of " << c.text.size() << " characters";
        });
    }

    // Numbers of the wrong size are missing values.
    ClearStoredSettings();
    const BYTE two[2] = {0xFF, 0xFF};
    const BYTE eight[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    StoreValue(L"Options", REG_BINARY, two, sizeof(two));
    StoreValue(L"Vordergrund", REG_BINARY, eight, sizeof(eight));
    StoreValue(L"LogMax", REG_BINARY, two, sizeof(two));
    {
        CUsageDlg dialog;
        RunStored(dialog, [&](HWND window) {
            EXPECT_EQ(dialog.PackOptions(), kDefaultOptions);
            EXPECT_FALSE(IsTopmost(window));
        });
        EXPECT_EQ(ReadStoredValue(L"LogMax").Number(), 1048576u);
    }
    ClearStoredSettings();
    StoreValue(L"Options", REG_BINARY, eight, sizeof(eight));
    {
        CUsageDlg dialog;
        RunStored(dialog, [&](HWND) { EXPECT_EQ(dialog.PackOptions(), kDefaultOptions); });
    }

    // Placements that would be absurd: each start gives a usable window.
    const RECT work = WorkArea();
    struct PlacementCase {
        std::wstring text;
        bool skipped; // the template's own place and size
    };
    const PlacementCase placementCases[] = {
        {Placement(SW_SHOWNORMAL, 0, 0, 100000, 100000), false},
        {Placement(SW_SHOWNORMAL, 300, 200, 100, 50), true},
        {L"abc,def,ghi,jkl,mno,pqr,stu,vwx,yz,!!,", true},
        {L"0,1,-1,-1,-1,-1,99999999999999,99999999999999,-99999999999999,-1,", true},
        {L"0,1,-1,-1,-1,-1,-99999999999999,-99999999999999,99999999999999,99999999999999,", false},
        {Placement(SW_HIDE, 100, 80, 600, 480), false},
        {Placement(SW_SHOWNORMAL, 100, 80, 150, 100), false},
        {Placement(SW_SHOWNORMAL, 100, 80, 600, 480).substr(0, 20) + std::wstring(280, L'9') + L",",
         true},
    };
    for (const PlacementCase& c : placementCases) {
        ClearStoredSettings();
        StoreText(L"WP", c.text);
        const RECT rect = RectAfterStart();
        if (c.skipped)
            EXPECT_TRUE(SameRect(rect, original)) << Text(rect);
        else
            EXPECT_FALSE(SameRect(rect, original)) << Text(rect);
        EXPECT_GE(rect.left, work.left - 1);
        EXPECT_GE(rect.top, work.top - 1);
    }
}

TEST(Settings, PlacementWithFewerThanTenNumbersIsSkipped) {
    const RECT original = TemplateRect();
    ClearStoredSettings();
    StoreText(L"WP", L"0,1,-1,-1,-1,-1,100,80,600,480");
    EXPECT_EQ(Text(RectAfterStart()), Text(original));
    ClearStoredSettings();
    StoreText(L"WP", L"0,1,-1,-1,-1,-1,100,80,600,");
    EXPECT_EQ(Text(RectAfterStart()), Text(original));
}

TEST(Settings, PlacementOnNoMonitorMovesOntoTheWorkArea) {
    const RECT work = WorkArea();
    ClearStoredSettings();
    StoreText(L"WP", Placement(SW_SHOWNORMAL, 3000, 2000, 3400, 2300));
    EXPECT_EQ(Text(RectAfterStart()),
              Text({work.right - 400, work.bottom - 300, work.right, work.bottom}));
    ClearStoredSettings();
    StoreText(L"WP", Placement(SW_SHOWNORMAL, -5000, 100, -4600, 400));
    EXPECT_EQ(Text(RectAfterStart()), Text({work.left, 100, work.left + 400, 400}));
    // A window partly on the screen stays where it was.
    ClearStoredSettings();
    StoreText(L"WP", Placement(SW_SHOWNORMAL, -200, 100, 200, 400));
    EXPECT_EQ(Text(RectAfterStart()), Text({-200, 100, 200, 400}));
}

TEST(Settings, MinimisedStateComesBackAsNormal) {
    for (long showCmd : {SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE}) {
        ClearStoredSettings();
        StoreText(L"WP", L"2," + Placement(showCmd, 100, 80, 600, 480).substr(2));
        EXPECT_EQ(Text(RectAfterStart()), Text({100, 80, 600, 480})) << showCmd;
    }
}

TEST(Settings, MaximisedComesBackMaximisedAndDefaultSizeWaitsForRestore) {
    ClearStoredSettings();
    StoreText(L"WP", Placement(SW_SHOWMAXIMIZED, 100, 80, 600, 480));
    StartStateDlg dialog;
    RunStored(dialog, [&](HWND window) {
        EXPECT_TRUE(dialog.zoomedAtStart);
        // Wine's dialog manager shows the window normally once it is first idle
        // (Windows leaves a visible window as it is): wait for that, then maximise it
        // again as the user would.
        WaitFor([&] { return !IsZoomed(window); });
        SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        Settle(window);
        ASSERT_TRUE(IsZoomed(window));
        const RECT maximised = OuterRect(window);
        const std::vector<int> widths = ColumnWidths(window);
        ChooseCommand(window, ID_OPT_DEFAULT_SIZE);
        EXPECT_TRUE(IsZoomed(window));
        EXPECT_EQ(Text(OuterRect(window)), Text(maximised));
        EXPECT_EQ(ColumnWidths(window), widths);

        SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
        Settle(window);
        ASSERT_FALSE(IsZoomed(window));
        EXPECT_EQ(Text(OuterRect(window)), Text({100, 80, 600, 480}));
        ChooseCommand(window, ID_OPT_DEFAULT_SIZE);
        EXPECT_EQ(Text(OuterRect(window)), Text({100, 80, 100 + 365, 80 + 270}));
        // Closed while maximised: stored as maximised, with the normal rectangle.
        SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        Settle(window);
    });
    const std::vector<long> numbers = StoredNumbers(L"WP");
    ASSERT_EQ(numbers.size(), 10u);
    EXPECT_EQ(numbers[1], SW_SHOWMAXIMIZED);
    EXPECT_EQ(Text({numbers[6], numbers[7], numbers[8], numbers[9]}),
              Text({100, 80, 100 + 365, 80 + 270}));
}

TEST(Settings, DefaultSizeGivesTheOuterSizeAndFiveEqualColumns) {
    ClearStoredSettings();
    StoreText(L"WP", Placement(SW_SHOWNORMAL, 50, 40, 750, 640));
    StoreText(L"ColumnWidth", L"300,20,40,80,");
    CUsageDlg dialog;
    RunStored(dialog, [&](HWND window) {
        ChooseCommand(window, ID_OPT_DEFAULT_SIZE);
        EXPECT_EQ(Text(OuterRect(window)), Text({50, 40, 50 + 365, 40 + 270}));
        RECT client;
        GetClientRect(GetDlgItem(window, IDC_LIST), &client);
        ASSERT_GT(client.right, 0);
        EXPECT_EQ(ColumnWidths(window), std::vector<int>(5, client.right / 5));
        // The layout followed: the list keeps its margins in the smaller window.
        GetClientRect(window, &client);
        const RECT list = ChildRect(window, IDC_LIST);
        EXPECT_EQ(client.right - list.right, 10);
        EXPECT_EQ(client.bottom - list.bottom, 36);
    });
}

TEST(Settings, TopmostTogglesFromEitherMenuWithBothCheckMarks) {
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        HMENU bar = GetMenu(window), system = GetSystemMenu(window, FALSE);
        auto expectTopmost = [&](bool on) {
            EXPECT_EQ(IsTopmost(window), on);
            EXPECT_EQ(IsChecked(bar, ID_OPT_TOPMOST), on);
            EXPECT_EQ(IsChecked(system, ID_OPT_TOPMOST), on);
        };
        const RECT rect = OuterRect(window);
        ChooseCommand(window, ID_OPT_TOPMOST);
        expectTopmost(true);
        SendMessageW(window, WM_SYSCOMMAND, ID_OPT_TOPMOST, 0);
        Settle(window);
        expectTopmost(false);
        SendMessageW(window, WM_SYSCOMMAND, ID_OPT_TOPMOST, 0);
        Settle(window);
        expectTopmost(true);
        ChooseCommand(window, ID_OPT_TOPMOST);
        expectTopmost(false);
        // Only the z-order changed.
        EXPECT_EQ(Text(OuterRect(window)), Text(rect));

        // On top, the window stays above another one brought to the top; off, it does not.
        HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40,
                                     nullptr, nullptr, nullptr, nullptr);
        ChooseCommand(window, ID_OPT_TOPMOST);
        expectTopmost(true);
        EXPECT_TRUE(RaisedWindowEnds(other, window, true))
            << "on top, the window is not above: " << ZOrder(window) << " vs " << ZOrder(other);
        ChooseCommand(window, ID_OPT_TOPMOST);
        expectTopmost(false);
        EXPECT_TRUE(RaisedWindowEnds(other, window, false))
            << "not on top, the window stays above: " << ZOrder(window) << " vs " << ZOrder(other);
        DestroyWindow(other);
        ChooseCommand(window, ID_OPT_TOPMOST);
        expectTopmost(true);
    });
    EXPECT_EQ(ReadStoredValue(L"Vordergrund").Number(), 1u);
}

TEST(Settings, VolumeLabelToggleRebuildsOnlyTheDriveList) {
    const ScratchFolder folder;
    ASSERT_TRUE(MakeFolder(folder.Path("Tools")));
    CUsageDlg dialog;
    RunMainWindow(dialog, "P", [&](HWND window) {
        HMENU bar = GetMenu(window);
        EXPECT_EQ(ListProbe(window).Column(), std::vector<std::string>{"P:\\"});
        ChooseCommand(window, ID_OPT_VOLUME_LABEL);
        EXPECT_TRUE(dialog.PackOptions() & 1u);
        EXPECT_TRUE(IsChecked(bar, ID_OPT_VOLUME_LABEL));
        EXPECT_EQ(ListProbe(window).Column(), std::vector<std::string>{"P:\\ [DATEN]"});
        ChooseCommand(window, ID_OPT_VOLUME_LABEL);
        EXPECT_FALSE(IsChecked(bar, ID_OPT_VOLUME_LABEL));
        EXPECT_EQ(ListProbe(window).Column(), std::vector<std::string>{"P:\\"});

        // A folder view keeps its rows.
        ListProbe(window).Open("P:\\", "P:\\");
        ListProbe(window).Open(folder.Name(), folder.Path());
        ChooseCommand(window, ID_OPT_VOLUME_LABEL);
        EXPECT_TRUE(dialog.PackOptions() & 1u);
        EXPECT_TRUE(IsChecked(bar, ID_OPT_VOLUME_LABEL));
        EXPECT_EQ(ListProbe(window).Column(), std::vector<std::string>{"Tools"});
    });
    EXPECT_EQ(ReadStoredValue(L"Options").Number() & 1u, 1u);
}
