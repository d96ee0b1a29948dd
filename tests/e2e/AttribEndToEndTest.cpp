// Voldix.exe during a read-only change of a large tree: the list refuses a double-click,
// "&Zurück" and a right-click, and closing the window ends the program within a second.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "classlib/WinText.h"
#include "res/resource.h"
#include "support/FixtureTree.h"
#include "support/MainWindow.h"
#include "support/RemoteProgram.h"
#include "support/StoredSettings.h"
#include "support/WindowDriver.h"

namespace {
const char kTree[] = "P:\\attrib_gross";

// A visible popup menu of the program, or null.
bool MenuShown(const RemoteProgram& program) {
    return FindTopLevelWindow([&](HWND menu) {
        return WindowProcess(menu) == program.ProcessId() && WindowClass(menu) == L"#32768";
    });
}

bool Busy(const RemoteProgram& program) {
    return !IsWindowEnabled(GetDlgItem(program.Window(), IDC_BACK));
}

// Chooses a read-only command for the selected rows and answers "&Ja"; true once the
// change runs.
bool StartChange(const RemoteProgram& program, UINT command) {
    HWND window = program.Window(), question = nullptr;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    if (!WaitFor([&] { return (question = FindOwnedWindow(window, "Bitte bestätigen")); }))
        return false;
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDC_CONFIRM_YES, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(question, IDC_CONFIRM_YES)));
    return WaitFor([&] { return Busy(program); });
}

// Waits until the window has handled what was posted to it before: a message sent after
// those is served only when the thread next asks for one.
void SettlePosted(HWND window) {
    Settle(window);
    Settle(window);
}

// A tree so large that its change lasts many seconds: 120 folders of 250 empty files,
// made on the Unix side in one go.
class AttribEndToEndTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        RemoveTree(kTree);
        ASSERT_TRUE(MakeFolder(kTree));
        const std::wstring tree = Widen(UnixPath(kTree).c_str());
        ASSERT_TRUE(RunUnix(L"cd '" + tree +
                            L"' && seq -f d%03g 1 120 | xargs mkdir && for d in d*; do "
                            L"(cd $d && seq -f f%03g.dat 1 250 | xargs touch); done"));
    }
    static void TearDownTestSuite() {
        RunUnix(L"rm -rf '" + Widen(UnixPath(kTree).c_str()) + L"'");
    }
};
} // namespace

TEST_F(AttribEndToEndTest, BusyWindowRefusesNavigationAndClosesWithinASecond) {
    const CursorPlace keep;
    {
        // A change of the whole drive, started in the drive list before any folder was
        // opened, ends with the window too.
        RemoteProgram first;
        ASSERT_TRUE(first.Start());
        const ListProbe drives(first.Window());
        ASSERT_TRUE(drives.Select({drives.RowOf("P:\\")}));
        ASSERT_TRUE(StartChange(first, ID_CTX_READONLY_SET));
        EXPECT_LT(first.CloseAndTime(1000), 1000u);
    }
    RemoteProgram program;
    ASSERT_TRUE(program.Start());
    HWND window = program.Window();
    const ListProbe list(window);
    ASSERT_TRUE(list.DoubleClickRow(list.RowOf("P:\\")));
    ASSERT_TRUE(WaitFor([&] { return WindowTitle(window) == "P:\\" && !Busy(program); }, 60000));
    SettlePosted(window);
    const int row = list.RowOf("attrib_gross");
    ASSERT_GE(row, 0);
    const int rows = list.Rows();
    ASSERT_GE(rows, 2);
    ASSERT_TRUE(list.Select({row}));

    ASSERT_TRUE(StartChange(program, ID_CTX_READONLY_SET));

    // A double-click on the folder and "&Zurück" (a command that reaches the window even
    // while its button is disabled) leave the folder shown.
    ASSERT_TRUE(list.DoubleClickRow(row));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_BACK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_BACK)));
    SettlePosted(window);
    EXPECT_EQ(WindowTitle(window), "P:\\");
    EXPECT_EQ(list.Rows(), rows);

    // A right-click opens no menu: the key pressed after it reaches the list, not a menu.
    SetForegroundWindow(window);
    WaitFor([&] { return GetForegroundWindow() == window; }, 3000);
    const int other = row == 0 ? 1 : 0;
    const RECT rect = list.RowRect(other);
    POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list.List(), &point);
    MouseClickAt(point, true);
    SendKeys({{VK_END, true}, {VK_END, false}});
    EXPECT_TRUE(WaitFor([&] { return list.IsSelected(rows - 1); }));
    EXPECT_FALSE(MenuShown(program));

    ASSERT_TRUE(Busy(program)) << "the change ended before the window was closed";
    DWORD code = 1;
    EXPECT_LT(program.CloseAndTime(1000, &code), 1000u);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(ReadStoredValue(L"Options").present);
}
