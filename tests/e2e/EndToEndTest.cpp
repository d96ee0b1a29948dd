// Voldix.exe as a user starts it: its window found, its list read, closed from outside.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RemoteProgram.h"
#include "support/WindowDriver.h"

TEST(EndToEnd, StartsListsDrivesAndEndsOnClose) {
    RemoteProgram program;
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(WindowTitle(program.Window()), "Voldix");
    std::vector<std::wstring> drives;
    for (int row = 0; row < program.RowCount(); ++row)
        drives.push_back(program.CellText(row, 0));
    // With the default filters: C: to Z: of the fixed kind, letters in order.
    const std::vector<std::wstring> fixed{L"C:\\", L"P:\\", L"Q:\\"};
    std::vector<std::wstring> listed;
    for (const std::wstring& d : drives)
        if (d == L"C:\\" || d == L"P:\\" || d == L"Q:\\" || d == L"R:\\" || d == L"S:\\" ||
            d == L"N:\\")
            listed.push_back(d);
    EXPECT_EQ(listed, fixed);
    EXPECT_FALSE(program.CellText(0, 1).empty());

    DWORD code = 1;
    EXPECT_LT(program.CloseAndTime(1000, &code), 1000u);
    EXPECT_EQ(code, 0u);
}
