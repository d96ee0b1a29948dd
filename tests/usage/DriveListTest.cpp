// The drive list, read back from the real main window over the test drives.
#include <gtest/gtest.h>

#include <direct.h>

#include <regex>
#include <string>
#include <vector>

#include "support/MainWindow.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"
#include "usage/DriveProbe.h"

namespace {
// The drives the probe gives for the letters and filters; each record is a plain root path.
std::vector<DriveRecord> Drives(const char* letters, bool removable, bool cdrom, bool network,
                                bool label) {
    DriveFilter filter;
    for (const char* p = letters; *p; ++p)
        filter.letters[*p - 'A'] = true;
    filter.removable = removable;
    filter.cdrom = cdrom;
    filter.network = network;
    filter.volumeLabel = label;
    const std::vector<DriveRecord> drives = ProbeDrives(filter);
    for (const DriveRecord& drive : drives) {
        EXPECT_EQ(drive.root.GetLength(), 3);
        EXPECT_EQ(drive.display.Left(3), drive.root);
    }
    return drives;
}

std::vector<std::string> FirstColumn(const std::vector<DriveRecord>& drives) {
    std::vector<std::string> names;
    for (const DriveRecord& drive : drives)
        names.push_back(drive.display.str());
    return names;
}
} // namespace

TEST(DriveList, TypeFiltersHideOnlyRemovableCdromAndNetwork) {
    using V = std::vector<std::string>;
    EXPECT_EQ(FirstColumn(Drives("NPQRS", false, false, false, false)), (V{"P:\\", "Q:\\"}));
    EXPECT_EQ(FirstColumn(Drives("NPQRS", true, false, false, false)), (V{"P:\\", "Q:\\", "R:\\"}));
    EXPECT_EQ(FirstColumn(Drives("NPQRS", false, true, false, false)), (V{"P:\\", "Q:\\", "S:\\"}));
    EXPECT_EQ(FirstColumn(Drives("NPQRS", false, false, true, false)), (V{"N:\\", "P:\\", "Q:\\"}));
    // Letters in alphabetical order, rows without gaps; a letter without a drive is left out.
    EXPECT_EQ(FirstColumn(Drives("SRQPNMK", true, true, true, false)),
              (V{"N:\\", "P:\\", "Q:\\", "R:\\", "S:\\"}));
    // A letter that is switched off is never listed, a fixed disk never hidden by type.
    EXPECT_EQ(FirstColumn(Drives("Q", true, true, true, false)), (V{"Q:\\"}));
}

TEST(DriveList, ImagesFollowTheDriveType) {
    auto rows = Drives("NPRS", true, true, true, false);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(DriveImage(rows[0].type), 5); // network
    EXPECT_EQ(DriveImage(rows[1].type), 2); // fixed
    EXPECT_EQ(DriveImage(rows[2].type), 4); // removable
    EXPECT_EQ(DriveImage(rows[3].type), 3); // CD-ROM
}

TEST(DriveList, VolumeLabelOptionShowsLabelInBrackets) {
    auto rows = Drives("PQ", false, false, false, true);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].display, CString("P:\\ [") + kFixedLabel + "]");
    EXPECT_EQ(rows[1].display, "Q:\\ []");
    EXPECT_EQ(FirstColumn(Drives("PQ", false, false, false, false)),
              (std::vector<std::string>{"P:\\", "Q:\\"}));
}

// The window shows the probe's drives: share then size, and the file system.
TEST(DriveList, SizeCellsShowShareThenSize) {
    std::vector<std::string> cells;
    CUsageDlg dialog;
    RunMainWindow(dialog, "P", [&](HWND window) {
        for (int column = 0; column < 5; ++column)
            cells.push_back(ListProbe(window).Text(0, column).str());
    });
    const std::regex size(R"(\d+ Bytes?|\d+\.\d (KB|MB|GB|TB))");
    const std::regex share(R"((\d+\.\d\d)% \[(.*)\])");
    EXPECT_EQ(cells[0], "P:\\");
    EXPECT_TRUE(std::regex_match(cells[1], size)) << cells[1];
    std::smatch used, free;
    ASSERT_TRUE(std::regex_match(cells[2], used, share)) << cells[2];
    ASSERT_TRUE(std::regex_match(cells[3], free, share)) << cells[3];
    EXPECT_TRUE(std::regex_match(used[2].str(), size));
    EXPECT_TRUE(std::regex_match(free[2].str(), size));
    EXPECT_NEAR(std::stod(used[1]) + std::stod(free[1]), 100.0, 0.02);
    EXPECT_FALSE(cells[4].empty());
    EXPECT_EQ(cells[4], Drives("P", false, false, false, false).at(0).fileSystem.str());
}

TEST(DriveList, NoLettersGiveAnEmptyListTitledVoldix) {
    EXPECT_TRUE(Drives("", true, true, true, true).empty());
    CUsageDlg dialog;
    RunMainWindow(dialog, "", [&](HWND window) {
        EXPECT_EQ(ListProbe(window).Rows(), 0);
        EXPECT_EQ(WindowTitle(window), "Voldix");
    });
}

TEST(DriveList, CurrentDriveIsRestored) {
    ASSERT_EQ(_chdrive(kUnlabelledDrive - 'A' + 1), 0);
    Drives("NPRS", true, true, true, false);
    EXPECT_EQ(_getdrive(), kUnlabelledDrive - 'A' + 1);
    _chdrive(3);
}
