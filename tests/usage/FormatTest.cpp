// The texts of the usage list: sizes, shares, attribute letters, times, path helper.
#include <gtest/gtest.h>

#include <cmath>

#include "usage/Format.h"

TEST(FormatSize, BytesUseSingularOnlyForOne) {
    EXPECT_EQ(FormatSize(0), "0 Bytes");
    EXPECT_EQ(FormatSize(1), "1 Byte");
    EXPECT_EQ(FormatSize(2), "2 Bytes");
    EXPECT_EQ(FormatSize(1023), "1023 Bytes");
}

TEST(FormatSize, LargerUnitsCarryOnlyTheLastStepsFraction) {
    const uint64_t kb = 1024, mb = kb * kb, gb = mb * kb, tb = gb * kb;
    EXPECT_EQ(FormatSize(kb), "1.0 KB");
    EXPECT_EQ(FormatSize(1536), "1.5 KB");
    EXPECT_EQ(FormatSize(mb - 1), "1024.0 KB");
    EXPECT_EQ(FormatSize(mb), "1.0 MB");
    EXPECT_EQ(FormatSize(5 * gb), "5.0 GB");
    EXPECT_EQ(FormatSize(12 * gb + 300 * mb), "12.3 GB");
    EXPECT_EQ(FormatSize(tb), "1.0 TB");
    EXPECT_EQ(FormatSize(1024 * tb), "1024.0 TB");
    // Earlier divisions truncate: 1 GB + 1023 KB + 1023 Bytes is still 1.0 GB.
    EXPECT_EQ(FormatSize(gb + 1023 * kb + 1023), "1.0 GB");
    EXPECT_EQ(FormatSize(UINT64_MAX), "16777216.0 TB");
}

TEST(FormatShare, TwoDecimalsAndNoNanForAnEmptyWhole) {
    EXPECT_EQ(FormatShare(1, 3), "33.33%");
    EXPECT_EQ(FormatShare(2, 3), "66.67%");
    EXPECT_EQ(FormatShare(3, 3), "100.00%");
    EXPECT_EQ(FormatShare(0, 3), "0.00%");
    EXPECT_EQ(FormatShare(0, 0), "0.00%");
    EXPECT_EQ(FormatShare(5, 0), "0.00%");
    EXPECT_EQ(FormatShare(UINT64_MAX / 2, UINT64_MAX), "50.00%");
}

TEST(FormatDriveCells, ShareAndSizeOfUsedAndFreeAndNoUseBelowZero) {
    const DriveCells cells = FormatDriveCells(4096, 1024);
    EXPECT_EQ(cells.size, "4.0 KB");
    EXPECT_EQ(cells.used, "75.00% [3.0 KB]");
    EXPECT_EQ(cells.free, "25.00% [1.0 KB]");
    // A quota that reports more free space than the capacity.
    const DriveCells quota = FormatDriveCells(1000, 1500);
    EXPECT_EQ(quota.used, "0.00% [0 Bytes]");
    EXPECT_EQ(quota.free, "100.00% [1000 Bytes]");
}

TEST(AttributeLetters, OnePositionPerBitAndFolderOrFile) {
    EXPECT_EQ(AttributeLetters(0x20), "A-F---------");
    EXPECT_EQ(AttributeLetters(0x10), "--D---------");
    EXPECT_EQ(AttributeLetters(0x2 | 0x1 | 0x4), "--F-H--R--S-");
    EXPECT_EQ(AttributeLetters(0x80), "--F--N------");
    EXPECT_EQ(AttributeLetters(0xFFFFFFFF), "ACDEHNORLPST");
    // Encrypted is tested as 0x40, not as 0x4000.
    EXPECT_EQ(AttributeLetters(0x4000), "--F---------");
    EXPECT_EQ(AttributeLetters(0x10 | 0x400), "--D-----L---");
}

TEST(FormatEntryTime, LocalTimeWithDaylightSavingOfThatDay) {
    // The tests run with TZ=Europe/Berlin: +1 h in winter, +2 h in summer.
    const uint64_t kUnixEpoch = 116444736000000000ULL, kSecond = 10000000ULL;
    auto fileTime = [&](int64_t unixSeconds) {
        return CTime::FromFileTime(kUnixEpoch + static_cast<uint64_t>(unixSeconds) * kSecond);
    };
    EXPECT_EQ(FormatEntryTime(fileTime(1172667900)), "28.02.07 14:05"); // 13:05 UTC
    EXPECT_EQ(FormatEntryTime(fileTime(1183284000)), "01.07.07 12:00"); // 10:00 UTC
    // Beyond the 32-bit range of seconds and before 1970 the text stays right.
    EXPECT_EQ(FormatEntryTime(fileTime(4102444800LL)), "01.01.00 01:00"); // 2100
    EXPECT_EQ(FormatEntryTime(fileTime(-86400)), "31.12.69 01:00");
}

TEST(PathHelpers, AppendBackslashAndUnitNames) {
    CString path = "C:\\";
    AppendBackslash(path);
    EXPECT_EQ(path, "C:\\");
    path = "C:\\Temp";
    AppendBackslash(path);
    EXPECT_EQ(path, "C:\\Temp\\");
    path = "";
    AppendBackslash(path);
    EXPECT_EQ(path, "");

    EXPECT_STREQ(UnitName(0), "Byte");
    EXPECT_STREQ(UnitName(1), "KB");
    EXPECT_STREQ(UnitName(2), "MB");
    EXPECT_STREQ(UnitName(3), "GB");
    EXPECT_STREQ(UnitName(4), "???");
    EXPECT_STREQ(UnitName(-1), "???");
}
