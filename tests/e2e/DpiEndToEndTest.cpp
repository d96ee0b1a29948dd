// Voldix.exe on a screen of 144 DPI: stored widths and icons scale with the screen, and
// the widths go back to the registry as they came.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "res/resource.h"
#include "support/MainWindow.h"
#include "support/RemoteProgram.h"
#include "support/StoredSettings.h"

namespace {
// Wine reads the DPI from the user's "LogPixels" once, when a process starts: set for
// one start and put back (absent, it means 96) as soon as that process runs.
class ScreenDpiForNextStart {
  public:
    explicit ScreenDpiForNextStart(DWORD dpi) {
        DWORD size = sizeof(m_saved);
        RegGetValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &m_saved,
                     &size);
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    }
    ~ScreenDpiForNextStart() {
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", REG_DWORD, &m_saved,
                        sizeof(m_saved));
    }

  private:
    static constexpr const wchar_t* kKey = L"Control Panel\\Desktop";
    DWORD m_saved = 96;
};
} // namespace

TEST(DpiEndToEnd, At144DpiStoredWidthsAndIconsScaleAndAreStoredBackUnchanged) {
    ClearStoredSettings();
    StoreText(L"ColumnWidth", L"120,60,61,62,");
    RemoteProgram program;
    {
        ScreenDpiForNextStart screen(144);
        ASSERT_TRUE(program.Start(15000, true));
    }
    HWND list = GetDlgItem(program.Window(), IDC_LIST);
    const int expected[] = {180, 90, 92, 93};
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0), expected[column]) << column;
    const ListProbe probe(program.Window());
    ASSERT_GT(probe.Rows(), 0);
    const RECT icon = probe.RowRect(0, LVIR_ICON);
    EXPECT_EQ(icon.right - icon.left, 24);

    DWORD code = 1;
    ASSERT_NE(program.CloseAndTime(15000, &code), INFINITE);
    EXPECT_EQ(ReadStoredValue(L"ColumnWidth").Text(), L"120,60,61,62,");
}
