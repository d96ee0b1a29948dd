// Voldix.exe closed while it scans a large tree: it ends within a second, in the walk and
// while it writes the rows.
#include <gtest/gtest.h>

#include <cstdio>

#include "res/resource.h"
#include "support/FixtureTree.h"
#include "support/MainWindow.h"
#include "support/RemoteProgram.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"

namespace {
// Q: holds many entries at the top (each costs the scan a pause) and a deep tree.
class ScanCloseTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        char name[64];
        for (int i = 0; i < 2500; ++i) {
            std::snprintf(name, sizeof(name), "Q:\\top%04d.dat", i);
            ASSERT_TRUE(MakeFile(name, 1));
        }
        for (int folder = 0; folder < 100; ++folder)
            for (int file = 0; file < 100; ++file) {
                std::snprintf(name, sizeof(name), "Q:\\tief\\%02d\\x\\y\\f%02d.dat", folder, file);
                ASSERT_TRUE(MakeFile(name, 10));
            }
    }
    static void TearDownTestSuite() {
        RemoveTree("Q:\\tief");
        char name[64];
        for (int i = 0; i < 2500; ++i) {
            std::snprintf(name, sizeof(name), "\\\\?\\Q:\\top%04d.dat", i);
            DeleteFileA(name);
        }
    }

    // Starts the program and opens Q:; true when the scan runs.
    bool StartScanOfQ(RemoteProgram& program) {
        if (!program.Start())
            return false;
        const ListProbe list(program.Window());
        if (!list.DoubleClickRow(list.RowOf("Q:\\")))
            return false;
        return WaitFor([&] { return !IsWindowEnabled(GetDlgItem(program.Window(), IDC_BACK)); });
    }

    // Closes the window as its close box does and measures how long the program takes.
    void CloseAndExpectQuickEnd(RemoteProgram& program) {
        ASSERT_FALSE(IsWindowEnabled(GetDlgItem(program.Window(), IDC_BACK))) << "scan ended";
        DWORD code = 1;
        EXPECT_LT(program.CloseAndTime(1000, &code), 1000u);
        EXPECT_EQ(code, 0u);
    }
};
} // namespace

TEST_F(ScanCloseTest, ClosingDuringTheWalkEndsWithinASecond) {
    RemoteProgram program;
    ASSERT_TRUE(StartScanOfQ(program));
    Sleep(300);
    CloseAndExpectQuickEnd(program);
}

TEST_F(ScanCloseTest, ClosingWhileRowsAreWrittenEndsWithinASecond) {
    RemoteProgram program;
    ASSERT_TRUE(StartScanOfQ(program));
    // The walk pauses 1 ms per entry at the top; then the rows follow one by one.
    ASSERT_TRUE(WaitFor([&] { return ListProbe(program.Window()).Rows() > 100; }, 60000));
    CloseAndExpectQuickEnd(program);
}
