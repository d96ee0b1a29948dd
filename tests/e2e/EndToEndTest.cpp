// Voldix.exe as a user starts it: its window found, its list read, closed from outside.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/MainWindow.h"
#include "support/RemoteProgram.h"
#include "support/WindowDriver.h"

TEST(EndToEnd, StartsListsDrivesAndEndsOnClose) {
    RemoteProgram program;
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(WindowTitle(program.Window()), "Voldix");
    const ListProbe list(program.Window());
    // With the default filters: C: to Z: of the fixed kind, letters in order.
    const std::vector<std::string> fixed{"C:\\", "P:\\", "Q:\\"};
    std::vector<std::string> listed;
    for (const std::string& d : list.Column())
        if (d == "C:\\" || d == "P:\\" || d == "Q:\\" || d == "R:\\" || d == "S:\\" || d == "N:\\")
            listed.push_back(d);
    EXPECT_EQ(listed, fixed);
    EXPECT_FALSE(list.Text(0, 1).IsEmpty());

    DWORD code = 1;
    EXPECT_LT(program.CloseAndTime(1000, &code), 1000u);
    EXPECT_EQ(code, 0u);
}
