#pragma once
// CFile, CStdioFile, CFileStatus and CFileException: files opened by UTF-8 path through
// Windows' wide functions, each handle owned by its object and closed with it.
#include <windows.h>

#include <cstdint>

#include "Handle.h"
#include "String.h"
#include "Time.h"

// The reason of a failed file operation, as one of the fixed cause codes, with the
// Windows error code it came from.
class CFileException {
  public:
    enum Cause {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    explicit CFileException(int cause = none, LONG osError = -1,
                            const CString& fileName = CString())
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

    // The cause code that a Windows error code stands for; genericException when unknown.
    static int OsErrorToException(LONG osError);
    // Throws the exception for a Windows error code.
    [[noreturn]] static void ThrowOsError(LONG osError, const CString& fileName = CString());

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

// The English text of the exception's cause; "No Error." for 0 and unknown codes.
CString FileErrorText(const CFileException& error);

// The status record of a file or folder: times, size and attribute word.
struct CFileStatus {
    CTime m_ctime;
    CTime m_mtime;
    CTime m_atime;
    uint64_t m_size = 0;
    // The full attribute word; the bits that cannot be set are ignored when writing.
    DWORD m_attribute = 0;
    CString m_szFullName;
};

// A file opened by path; closes its handle when it ends. Failures of Read, Write, Seek,
// GetLength, SetLength and Close throw CFileException.
class CFile {
  public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080, // the default: no handle is inherited
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile() { Abort(); }

    // Opens path with the mode, sharing and creation flags; on failure returns false and
    // fills error when one is given.
    virtual bool Open(const CString& path, UINT openFlags, CFileException* error = nullptr);
    // Reads up to count bytes; returns how many were read, 0 at the end of the file.
    UINT Read(void* buffer, UINT count);
    // Writes all count bytes with one call.
    void Write(const void* buffer, UINT count);
    uint64_t Seek(int64_t offset, UINT from);
    uint64_t SeekToEnd() { return Seek(0, end); }
    uint64_t GetLength() const;
    // Cuts or extends the file to length bytes.
    void SetLength(uint64_t length);
    // Closes the handle; throws when closing fails.
    void Close();
    // Closes the handle, ignoring any failure.
    void Abort();

    bool IsOpen() const { return m_hFile.IsValid(); }

    // Reads the status record of path; false when it names nothing (or a drive's root).
    static bool GetStatus(const CString& path, CFileStatus& status);
    // Writes the attributes and, unless m_mtime is zero, the times of path; throws on failure.
    static void SetStatus(const CString& path, const CFileStatus& status);

  protected:
    [[noreturn]] void ThrowLastError() const;

    CHandle m_hFile;
    CString m_path;
    bool m_text = false;
};

// A file for text: WriteString writes a whole text in one call; in text mode a line end
// that is a bare LF is written as CR LF, a CR LF stays as it is.
class CStdioFile : public CFile {
  public:
    bool Open(const CString& path, UINT openFlags, CFileException* error = nullptr) override;
    void WriteString(const char* text);
};
