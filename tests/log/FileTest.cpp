// The file classes as the log and the read-only change rely on them: opens and their
// failure causes, exceptions on failed transfers, the text stream, status records.
#include <gtest/gtest.h>

#include <windows.h>

#include "classlib/File.h"
#include "classlib/WinText.h"
#include "support/ScratchFolder.h"

TEST(FileException, WindowsErrorsMapToTheCauseOfTheirSense) {
    struct Case {
        LONG error;
        int cause;
    };
    const Case cases[] = {
        {NO_ERROR, 0},
        {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
        {ERROR_PATH_NOT_FOUND, CFileException::badPath},
        {ERROR_INVALID_NAME, CFileException::badPath},
        {ERROR_BAD_PATHNAME, CFileException::badPath},
        {ERROR_INVALID_DRIVE, CFileException::badPath},
        {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
        {ERROR_ACCESS_DENIED, CFileException::accessDenied},
        {ERROR_WRITE_PROTECT, CFileException::accessDenied},
        {ERROR_INVALID_HANDLE, CFileException::invalidFile},
        {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
        {ERROR_NO_MORE_FILES, CFileException::directoryFull},
        {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
        {ERROR_SEEK, CFileException::badSeek},
        {ERROR_NOT_READY, CFileException::hardIO},
        {ERROR_CRC, CFileException::hardIO},
        {ERROR_IO_DEVICE, CFileException::hardIO},
        {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
        {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
        {ERROR_DISK_FULL, CFileException::diskFull},
        {ERROR_HANDLE_DISK_FULL, CFileException::diskFull},
        {ERROR_HANDLE_EOF, CFileException::endOfFile},
        // Anything unknown is a generic failure, never "no error".
        {ERROR_NOT_ENOUGH_MEMORY, CFileException::genericException},
        {ERROR_INVALID_PARAMETER, CFileException::genericException},
        {-1, CFileException::genericException},
        {123456, CFileException::genericException},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFileException::OsErrorToException(c.error), c.cause) << "error " << c.error;
}

TEST(File, FailedOpensReportTheirCause) {
    ScratchFolder folder;
    CFileException error;
    CFile file;
    EXPECT_FALSE(file.Open(folder.Path("missing.txt"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(error.m_strFileName, folder.Path("missing.txt"));

    EXPECT_FALSE(
        file.Open(folder.Path("nofolder\\x.txt"), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);

    // A file held open for exclusive use cannot be opened a second time.
    WriteBytes(folder.Path("held.txt"), "held");
    HANDLE held = CreateFileW(Widen(folder.Path("held.txt")).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(
        file.Open(folder.Path("held.txt"), CFile::modeRead | CFile::shareDenyNone, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(error.m_lOsError, ERROR_SHARING_VIOLATION);
    CloseHandle(held);
    EXPECT_FALSE(file.IsOpen());
}

TEST(File, ExclusiveOpenHoldsOthersOffUntilTheObjectEnds) {
    ScratchFolder folder;
    const CString path = folder.Path("log.txt");
    {
        CFile first;
        ASSERT_TRUE(first.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
        CFile second;
        EXPECT_FALSE(second.Open(path, CFile::modeRead | CFile::shareDenyNone));
    }
    // The handle went with the object.
    CFile again;
    EXPECT_TRUE(again.Open(path, CFile::modeRead | CFile::shareExclusive));
}

TEST(File, TransfersAgainstTheOpenModeThrow) {
    ScratchFolder folder;
    const CString path = folder.Path("data.bin");
    WriteBytes(path, "0123456789");
    CFile reading;
    ASSERT_TRUE(reading.Open(path, CFile::modeRead));
    try {
        reading.Write("x", 1);
        ADD_FAILURE() << "writing to a file opened for reading did not throw";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::accessDenied);
        EXPECT_EQ(e.m_strFileName, path);
    }
    reading.Close();
    EXPECT_EQ(ReadBytes(path), "0123456789");

    CFile writing;
    ASSERT_TRUE(writing.Open(path, CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate));
    char buffer[4];
    EXPECT_THROW(writing.Read(buffer, sizeof(buffer)), CFileException);

    CFile closed;
    EXPECT_THROW(closed.Write("x", 1), CFileException);
    EXPECT_THROW(closed.GetLength(), CFileException);
}

TEST(File, CreateTruncatesUnlessToldNotTo) {
    ScratchFolder folder;
    const CString path = folder.Path("data.bin");
    WriteBytes(path, "0123456789");
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
        EXPECT_EQ(file.GetLength(), 10u);
        EXPECT_EQ(file.SeekToEnd(), 10u);
        file.Write("ab", 2);
        EXPECT_EQ(file.GetLength(), 12u);
    }
    EXPECT_EQ(ReadBytes(path), "0123456789ab");
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeRead));
        char buffer[32] = {};
        EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 12u);
        EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 0u);
    }
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(file.GetLength(), 0u);
    }
    EXPECT_EQ(ReadBytes(path), "");
}

TEST(StdioFile, TextModeEndsBareLineFeedsWithCarriageReturn) {
    ScratchFolder folder;
    {
        CStdioFile text;
        ASSERT_TRUE(text.Open(folder.Path("t.txt"),
                              CFile::modeCreate | CFile::modeWrite | CFile::typeText));
        text.WriteString("a\nb\r\nc\n\n\xc3\xa4");
    }
    EXPECT_EQ(ReadBytes(folder.Path("t.txt")), "a\r\nb\r\nc\r\n\r\n\xc3\xa4");
    {
        CStdioFile binary;
        ASSERT_TRUE(binary.Open(folder.Path("b.txt"),
                                CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
        binary.WriteString("a\nb\r\n");
    }
    EXPECT_EQ(ReadBytes(folder.Path("b.txt")), "a\nb\r\n");
}

TEST(FileStatus, ZeroModificationTimeChangesOnlyTheAttributes) {
    ScratchFolder folder;
    const CString file = folder.Path("doc.txt");
    const CString subfolder = folder.Path("sub");
    WriteBytes(file, "12345");
    CreateDirectoryW(Widen(subfolder).c_str(), nullptr);
    const CTime fixed(1173100029); // 5 March 2007, 13:07:09 UTC

    // Wine keeps no read-only bit on folders; a folder changes its hidden bit instead.
    const struct {
        CString path;
        DWORD bit;
    } entries[] = {{file, FILE_ATTRIBUTE_READONLY}, {subfolder, FILE_ATTRIBUTE_HIDDEN}};
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.path.c_str());
        CFileStatus status;
        ASSERT_TRUE(CFile::GetStatus(entry.path, status));
        status.m_mtime = fixed;
        status.m_atime = CTime();
        status.m_ctime = CTime();
        CFile::SetStatus(entry.path, status);
        ASSERT_TRUE(CFile::GetStatus(entry.path, status));
        EXPECT_EQ(status.m_mtime.GetTime(), fixed.GetTime());

        status.m_attribute |= entry.bit;
        status.m_mtime = CTime();
        CFile::SetStatus(entry.path, status);
        ASSERT_TRUE(CFile::GetStatus(entry.path, status));
        EXPECT_TRUE(status.m_attribute & entry.bit);
        EXPECT_EQ(status.m_mtime.GetTime(), fixed.GetTime());

        // A read-only entry gets new times as well, and loses the bit again.
        status.m_attribute &= ~entry.bit;
        status.m_mtime = CTime(fixed.GetTime() + 3600);
        CFile::SetStatus(entry.path, status);
        ASSERT_TRUE(CFile::GetStatus(entry.path, status));
        EXPECT_FALSE(status.m_attribute & entry.bit);
        EXPECT_EQ(status.m_mtime.GetTime(), fixed.GetTime() + 3600);
    }
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(file, status));
    EXPECT_EQ(status.m_size, 5u);
    EXPECT_FALSE(status.m_attribute & FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_TRUE(CFile::GetStatus(subfolder, status));
    EXPECT_TRUE(status.m_attribute & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FileStatus, RootsPatternsAndMissingEntriesHaveNoStatus) {
    ScratchFolder folder;
    WriteBytes(folder.Path("a.txt"), "a");
    CFileStatus status;
    EXPECT_FALSE(CFile::GetStatus("P:\\", status));
    EXPECT_FALSE(CFile::GetStatus(folder.Path("missing.txt"), status));
    EXPECT_FALSE(CFile::GetStatus(folder.Path("*.txt"), status));
    EXPECT_FALSE(CFile::GetStatus("", status));

    status.m_attribute = FILE_ATTRIBUTE_READONLY;
    try {
        CFile::SetStatus(folder.Path("missing.txt"), status);
        ADD_FAILURE() << "writing the status of a missing file did not throw";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, folder.Path("missing.txt"));
    }
}
