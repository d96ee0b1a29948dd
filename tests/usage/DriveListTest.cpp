// The drive list, read back from the real main window over the test drives.
#include <gtest/gtest.h>

#include <direct.h>

#include <regex>
#include <string>
#include <vector>

#include "support/MainWindow.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"

namespace {
struct Row {
    std::string cells[5];
    int image;
};

std::vector<Row> ReadRows(CUsageDlg& dialog) {
    std::vector<Row> rows;
    for (int i = 0; i < dialog.m_list.GetItemCount(); ++i) {
        Row row;
        for (int c = 0; c < 5; ++c)
            row.cells[c] = dialog.m_list.GetItemText(i, c).str();
        row.image = dialog.m_list.GetItemImage(i, 0);
        rows.push_back(row);
    }
    return rows;
}

// Runs the main window with the given filters and returns its drive rows and title.
std::vector<Row> DriveRows(const char* letters, bool removable, bool cdrom, bool network,
                           bool label, CString* title = nullptr) {
    CUsageDlg dialog;
    ShowTypes(dialog, removable, cdrom, network);
    dialog.m_showVolumeLabel = label;
    std::vector<Row> rows;
    RunMainWindow(dialog, letters, [&](HWND window) {
        rows = ReadRows(dialog);
        if (title)
            *title = WindowTitle(window);
        // One record per row, each the plain root path of its drive.
        EXPECT_EQ(dialog.m_entries.GetSize(), static_cast<int>(rows.size()));
        for (int i = 0; i < dialog.m_entries.GetSize(); ++i) {
            EXPECT_TRUE(dialog.m_entries.GetEntry(i)->m_isFolder);
            EXPECT_EQ(dialog.m_entries.GetEntry(i)->m_name.str().substr(0, 3),
                      rows[i].cells[0].substr(0, 3));
            EXPECT_EQ(dialog.m_entries.GetEntry(i)->m_name.GetLength(), 3);
        }
    });
    return rows;
}

std::vector<std::string> FirstColumn(const std::vector<Row>& rows) {
    std::vector<std::string> names;
    for (const Row& row : rows)
        names.push_back(row.cells[0]);
    return names;
}
} // namespace

TEST(DriveList, TypeFiltersHideOnlyRemovableCdromAndNetwork) {
    using V = std::vector<std::string>;
    EXPECT_EQ(FirstColumn(DriveRows("NPQRS", false, false, false, false)), (V{"P:\\", "Q:\\"}));
    EXPECT_EQ(FirstColumn(DriveRows("NPQRS", true, false, false, false)),
              (V{"P:\\", "Q:\\", "R:\\"}));
    EXPECT_EQ(FirstColumn(DriveRows("NPQRS", false, true, false, false)),
              (V{"P:\\", "Q:\\", "S:\\"}));
    EXPECT_EQ(FirstColumn(DriveRows("NPQRS", false, false, true, false)),
              (V{"N:\\", "P:\\", "Q:\\"}));
    // Letters in alphabetical order, rows without gaps; a letter without a drive is left out.
    EXPECT_EQ(FirstColumn(DriveRows("SRQPNMK", true, true, true, false)),
              (V{"N:\\", "P:\\", "Q:\\", "R:\\", "S:\\"}));
    // A letter that is switched off is never listed, a fixed disk never hidden by type.
    EXPECT_EQ(FirstColumn(DriveRows("Q", true, true, true, false)), (V{"Q:\\"}));
}

TEST(DriveList, ImagesFollowTheDriveType) {
    auto rows = DriveRows("NPRS", true, true, true, false);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].image, 5); // network
    EXPECT_EQ(rows[1].image, 2); // fixed
    EXPECT_EQ(rows[2].image, 4); // removable
    EXPECT_EQ(rows[3].image, 3); // CD-ROM
}

TEST(DriveList, VolumeLabelOptionShowsLabelInBrackets) {
    auto rows = DriveRows("PQ", false, false, false, true);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].cells[0], std::string("P:\\ [") + kFixedLabel + "]");
    EXPECT_EQ(rows[1].cells[0], "Q:\\ []");
    rows = DriveRows("PQ", false, false, false, false);
    EXPECT_EQ(rows[0].cells[0], "P:\\");
    EXPECT_EQ(rows[1].cells[0], "Q:\\");
}

TEST(DriveList, SizeCellsShowShareThenSize) {
    auto rows = DriveRows("P", false, false, false, false);
    ASSERT_EQ(rows.size(), 1u);
    const std::regex size(R"(\d+ Bytes?|\d+\.\d (KB|MB|GB|TB))");
    const std::regex share(R"((\d+\.\d\d)% \[(.*)\])");
    EXPECT_TRUE(std::regex_match(rows[0].cells[1], size)) << rows[0].cells[1];
    std::smatch used, free;
    ASSERT_TRUE(std::regex_match(rows[0].cells[2], used, share)) << rows[0].cells[2];
    ASSERT_TRUE(std::regex_match(rows[0].cells[3], free, share)) << rows[0].cells[3];
    EXPECT_TRUE(std::regex_match(used[2].str(), size));
    EXPECT_TRUE(std::regex_match(free[2].str(), size));
    EXPECT_NEAR(std::stod(used[1]) + std::stod(free[1]), 100.0, 0.02);
    EXPECT_FALSE(rows[0].cells[4].empty());
}

TEST(DriveList, NoLettersGiveAnEmptyListTitledVoldix) {
    CString title;
    auto rows = DriveRows("", true, true, true, true, &title);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(title, "Voldix");
}

TEST(DriveList, CurrentDriveIsRestored) {
    ASSERT_EQ(_chdrive(kUnlabelledDrive - 'A' + 1), 0);
    DriveRows("NPRS", true, true, true, false);
    EXPECT_EQ(_getdrive(), kUnlabelledDrive - 'A' + 1);
    _chdrive(3);
}
