// The error log: line format, appending, rotation at the limit, failures that lose
// nothing else, the base path and the main window's log path.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "app/UsageDlg.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "log/ErrorLog.h"
#include "log/LogFiles.h"
#include "res/resource.h"
#include "support/ScratchFolder.h"
#include "support/WindowDriver.h"

namespace {
SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    return time;
}

// A log in folder with the given limit.
ErrorLog MakeLog(const ScratchFolder& folder, uint32_t limit) {
    ErrorLog log;
    log.SetBasePath(folder.Path("Voldix"));
    log.SetLogMax(limit);
    return log;
}

// A line of the log is 25 bytes around its message.
constexpr size_t kLineFrame = 25;
} // namespace

TEST(LogLine, EveryFieldIsZeroPadded) {
    EXPECT_EQ(FormatLogLine(MakeTime(2007, 3, 5, 14, 7, 9),
                            "<The file could not be accessed.> \"D:\\Daten\\Brief.doc\"."),
              "<05.03.2007 14:07:09>: <The file could not be accessed.> "
              "\"D:\\Daten\\Brief.doc\".\r\n");
    EXPECT_EQ(FormatLogLine(MakeTime(2007, 7, 1, 9, 5, 3), "x"), "<01.07.2007 09:05:03>: x\r\n");
    EXPECT_EQ(FormatLogLine(MakeTime(987, 12, 31, 0, 0, 0), ""), "<31.12.0987 00:00:00>: \r\n");
    // The message is data, not a format; UTF-8 passes unchanged.
    EXPECT_EQ(FormatLogLine(MakeTime(2007, 3, 5, 23, 59, 59), "100% %s %d Gr\xc3\xb6sse"),
              "<05.03.2007 23:59:59>: 100% %s %d Gr\xc3\xb6sse\r\n");
    EXPECT_EQ(FormatLogLine(MakeTime(2007, 3, 5, 1, 2, 3), "12345").str().size(), 30u);
}

TEST(ErrorLog, AppendsOneLineWithTheLocalTime) {
    ScratchFolder folder;
    ErrorLog log = MakeLog(folder, 1048576);
    ASSERT_EQ(log.GetLogPath(), folder.Path("Voldix.log"));
    WriteBytes(log.GetLogPath(), "earlier\r\n");

    const CString message = "<The disk is full.> \"P:\\Gr\xc3\xb6\xc3\x9f"
                            "e\\a.txt\".";
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    EXPECT_TRUE(log.Write(message));
    EXPECT_TRUE(log.Write("second"));
    GetLocalTime(&after);

    const std::string content = ReadBytes(log.GetLogPath());
    ASSERT_GT(content.size(), 9u);
    EXPECT_EQ(content.substr(0, 9), "earlier\r\n");
    const std::string first = content.substr(9, kLineFrame + message.str().size());
    const std::string second = content.substr(9 + first.size());
    EXPECT_TRUE(first == FormatLogLine(before, message).str() ||
                first == FormatLogLine(after, message).str())
        << first;
    EXPECT_TRUE(second == FormatLogLine(before, "second").str() ||
                second == FormatLogLine(after, "second").str())
        << second;
    EXPECT_FALSE(FileExists(log.GetBackupPath()));
}

TEST(ErrorLog, LineThatPassesTheLimitGoesToTheBackup) {
    ScratchFolder folder;
    ErrorLog log = MakeLog(folder, 100);
    const std::string old(80, 'o');
    WriteBytes(log.GetLogPath(), old);

    EXPECT_TRUE(log.Write("12345")); // 80 + 30 bytes
    EXPECT_FALSE(FileExists(log.GetLogPath()));
    const std::string backup = ReadBytes(log.GetBackupPath());
    ASSERT_EQ(backup.size(), 110u);
    EXPECT_EQ(backup.substr(0, 80), old);
    EXPECT_EQ(backup.substr(80, 1), "<");
    EXPECT_EQ(backup.substr(101), ": 12345\r\n");

    // The next line starts a new log; the backup stays as it is.
    EXPECT_TRUE(log.Write("next"));
    EXPECT_EQ(ReadBytes(log.GetLogPath()).size(), kLineFrame + 4);
    EXPECT_EQ(ReadBytes(log.GetBackupPath()), backup);
}

TEST(ErrorLog, LogOfExactlyTheLimitStays) {
    ScratchFolder folder;
    ErrorLog log = MakeLog(folder, 100);
    WriteBytes(log.GetLogPath(), std::string(70, 'o'));
    EXPECT_TRUE(log.Write("12345")); // 70 + 30 bytes
    EXPECT_EQ(ReadBytes(log.GetLogPath()).size(), 100u);
    EXPECT_FALSE(FileExists(log.GetBackupPath()));

    EXPECT_TRUE(log.Write("")); // one byte more rotates
    EXPECT_FALSE(FileExists(log.GetLogPath()));
    EXPECT_EQ(ReadBytes(log.GetBackupPath()).size(), 100u + kLineFrame);
}

TEST(ErrorLog, LimitZeroRotatesEveryLine) {
    ScratchFolder folder;
    ErrorLog log = MakeLog(folder, 0);
    for (const char* message : {"first", "second line"}) {
        EXPECT_TRUE(log.Write(message));
        EXPECT_FALSE(FileExists(log.GetLogPath()));
        const std::string backup = ReadBytes(log.GetBackupPath());
        EXPECT_EQ(backup.size(), kLineFrame + std::string(message).size());
        EXPECT_EQ(backup.substr(backup.size() - std::string(message).size() - 2),
                  std::string(message) + "\r\n");
    }
}

TEST(ErrorLog, ExistingBackupIsOverwritten) {
    ScratchFolder folder;
    ErrorLog log = MakeLog(folder, 100);
    WriteBytes(log.GetBackupPath(), std::string(500, 'b'));
    WriteBytes(log.GetLogPath(), std::string(80, 'o'));
    EXPECT_TRUE(log.Write("12345"));
    const std::string backup = ReadBytes(log.GetBackupPath());
    EXPECT_EQ(backup.size(), 110u);
    EXPECT_EQ(backup.find('b'), std::string::npos);
}

TEST(ErrorLog, FileInUseLosesTheLineAndNothingElse) {
    ScratchFolder folder;
    ErrorLog log = MakeLog(folder, 0);
    WriteBytes(log.GetLogPath(), "kept line\r\n");
    WriteBytes(log.GetBackupPath(), "old backup\r\n");

    // Another program holds the file open for its own use.
    HANDLE viewer = CreateFileW(Widen(log.GetLogPath()).c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(log.Write("lost"));
    CloseHandle(viewer);

    EXPECT_EQ(ReadBytes(log.GetLogPath()), "kept line\r\n");
    EXPECT_EQ(ReadBytes(log.GetBackupPath()), "old backup\r\n");

    // Held for a moment only, the file takes the line once it is free (at limit 0, the
    // log is then rotated).
    viewer = CreateFileW(Widen(log.GetLogPath()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                         0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    std::thread release([viewer] {
        Sleep(50);
        CloseHandle(viewer);
    });
    EXPECT_TRUE(log.Write("written"));
    release.join();
    EXPECT_FALSE(FileExists(log.GetLogPath()));
    const std::string backup = ReadBytes(log.GetBackupPath());
    EXPECT_EQ(backup.substr(0, 11), "kept line\r\n");
    EXPECT_EQ(backup.size(), 11 + kLineFrame + 7);
}

TEST(ErrorLog, FailedWriteIsCaughtAndReportedAsLost) {
    // A device that opens but takes no byte: every write fails as on a full disk.
    // Windows drops the trailing dot of a name, so "full." opens the device itself.
    HANDLE probe =
        CreateFileW(L"Z:\\dev\\full", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "no /dev/full behind Z: (" << GetLastError() << ")";
    CloseHandle(probe);
    ErrorLog log;
    log.SetBasePath("Z:\\dev\\full.");
    ASSERT_EQ(log.GetLogPath(), "Z:\\dev\\full.");
    {
        CStdioFile device;
        ASSERT_TRUE(device.Open(log.GetLogPath(),
                                CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
        try {
            device.WriteString("x");
            ADD_FAILURE() << "a write to the full device did not throw";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::diskFull);
        }
    }
    bool result = true;
    EXPECT_NO_THROW(result = log.Write("never written"));
    EXPECT_FALSE(result);
    EXPECT_FALSE(FileExists(log.GetBackupPath()));
}

TEST(ErrorLog, BasePathGivesLogAndBackupBesideEachOther) {
    ScratchFolder folder;
    ErrorLog log;
    // A missing folder is made, parents included.
    log.SetBasePath(folder.Path("a\\b\\Voldix"));
    EXPECT_EQ(log.GetLogPath(), folder.Path("a\\b\\Voldix.log"));
    EXPECT_EQ(log.GetBackupPath(), folder.Path("a\\b\\Voldix.bak"));
    EXPECT_TRUE(FolderExists(folder.Path("a\\b")));

    log.SetBasePath(folder.Path("Fehler.txt"));
    EXPECT_EQ(log.GetLogPath(), folder.Path("Fehler.txt"));
    EXPECT_EQ(log.GetBackupPath(), folder.Path("Fehler.bak"));

    // No folder, or one that cannot be made: both files go to the root of C:.
    log.SetBasePath("Voldix");
    EXPECT_EQ(log.GetLogPath(), "C:\\Voldix.log");
    EXPECT_EQ(log.GetBackupPath(), "C:\\Voldix.bak");
    log.SetBasePath("K:\\nowhere\\Voldix");
    EXPECT_EQ(log.GetLogPath(), "C:\\Voldix.log");
    EXPECT_FALSE(FileExists("C:\\Voldix.log"));
}

TEST(ErrorLog, MainWindowKeepsItsLogBesideTheProgram) {
    WriteBytes(GetProgramFolder() + "Voldix.log", "<01.01.2007 00:00:00>: hier\r\n");
    AfxInitRichEdit();
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_OPT_LOG, 0), 0);
        HWND viewer = WaitForOwnedWindow(window, "Fehlerprotokoll");
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(ItemText(viewer, IDC_LOG_TEXT), "<01.01.2007 00:00:00>: hier\r\n");
        PostMessageW(viewer, WM_COMMAND, MAKEWPARAM(ID_LOG_CLOSE, 0), 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(viewer); }));
    });
    DeleteFileW(Widen(GetProgramFolder() + "Voldix.log").c_str());
}

TEST(LogFiles, ProgramFolderHoldsTheRunningProgram) {
    const CString folder = GetProgramFolder();
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_EQ(folder[folder.GetLength() - 1], '\\');
    EXPECT_EQ(folder[1], ':');
    EXPECT_TRUE(FileExists(folder + "test_log.exe"));
}

TEST(LogFiles, MakeFolderPathCreatesMissingLevels) {
    ScratchFolder folder;
    EXPECT_EQ(MakeFolderPath(""), 2);
    // An existing folder, with or without the trailing backslash.
    EXPECT_EQ(MakeFolderPath(folder.Path()), 17);
    EXPECT_EQ(MakeFolderPath(folder.Path().Left(folder.Path().GetLength() - 1)), 17);

    EXPECT_EQ(MakeFolderPath(folder.Path("one")), 0);
    EXPECT_TRUE(FolderExists(folder.Path("one")));
    EXPECT_EQ(MakeFolderPath(folder.Path("x\\y\\z\\")), 0);
    EXPECT_TRUE(FolderExists(folder.Path("x")));
    EXPECT_TRUE(FolderExists(folder.Path("x\\y")));
    EXPECT_TRUE(FolderExists(folder.Path("x\\y\\z")));
    EXPECT_EQ(MakeFolderPath(folder.Path("x\\y\\z\\")), 17);

    // A last component with an extension is a file name and is not made.
    EXPECT_EQ(MakeFolderPath(folder.Path("f\\g\\log.txt")), 0);
    EXPECT_TRUE(FolderExists(folder.Path("f\\g")));
    EXPECT_FALSE(FolderExists(folder.Path("f\\g\\log.txt")));

    // A file in the way, or a drive that does not exist, is no success.
    WriteBytes(folder.Path("file"), "x");
    EXPECT_EQ(MakeFolderPath(folder.Path("file\\sub\\")), 2);
    EXPECT_EQ(MakeFolderPath(folder.Path("file")), 17);
    const int noDrive = MakeFolderPath("K:\\nowhere\\deeper\\");
    EXPECT_NE(noDrive, 0);
    EXPECT_NE(noDrive, 17);
}

TEST(LogFiles, MakeFolderPathKeepsARelativePathRelative) {
    ScratchFolder folder;
    wchar_t saved[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, saved), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(Widen(folder.Path()).c_str()));
    const int result = MakeFolderPath("rel\\deep\\");
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(FolderExists(folder.Path("rel\\deep")));
    EXPECT_FALSE(FolderExists("P:\\rel"));
}

TEST(LogFiles, CauseTexts) {
    EXPECT_EQ(FileErrorText(CFileException(0)), "No Error.");
    EXPECT_EQ(FileErrorText(CFileException(1)), "An unspecified error occurred.");
    EXPECT_EQ(FileErrorText(CFileException(5)), "The file could not be accessed.");
    EXPECT_EQ(FileErrorText(CFileException(11)),
              "SHARE.EXE was not loaded, or a shared region was locked.");
    EXPECT_EQ(FileErrorText(CFileException(14)), "The end of file was reached.");
    EXPECT_EQ(FileErrorText(CFileException(15)), "No Error.");
    EXPECT_EQ(FileErrorText(CFileException(1000)), "No Error.");
    EXPECT_EQ(FileErrorText(CFileException(-1)), "No Error.");
}
