#include "File.h"

#include <string>

#include "WinText.h"

namespace {
struct ErrorCause {
    LONG osError;
    int cause;
};

// Windows error codes and the cause each stands for; every other code is a generic failure.
const ErrorCause kErrorCauses[] = {
    {NO_ERROR, CFileException::none},
    {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
    {ERROR_OPEN_FAILED, CFileException::fileNotFound},
    {ERROR_PATH_NOT_FOUND, CFileException::badPath},
    {ERROR_INVALID_DRIVE, CFileException::badPath},
    {ERROR_INVALID_NAME, CFileException::badPath},
    {ERROR_BAD_PATHNAME, CFileException::badPath},
    {ERROR_DIRECTORY, CFileException::badPath},
    {ERROR_FILENAME_EXCED_RANGE, CFileException::badPath},
    {ERROR_BAD_NETPATH, CFileException::badPath},
    {ERROR_BAD_NET_NAME, CFileException::badPath},
    {ERROR_DEV_NOT_EXIST, CFileException::badPath},
    {ERROR_WRONG_DISK, CFileException::badPath},
    {ERROR_DIR_NOT_ROOT, CFileException::badPath},
    {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
    {ERROR_SHARING_BUFFER_EXCEEDED, CFileException::tooManyOpenFiles},
    {ERROR_NO_MORE_SEARCH_HANDLES, CFileException::tooManyOpenFiles},
    {ERROR_TOO_MANY_NAMES, CFileException::tooManyOpenFiles},
    {ERROR_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_INVALID_ACCESS, CFileException::accessDenied},
    {ERROR_WRITE_PROTECT, CFileException::accessDenied},
    {ERROR_NETWORK_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_FILE_EXISTS, CFileException::accessDenied},
    {ERROR_ALREADY_EXISTS, CFileException::accessDenied},
    {ERROR_PRIVILEGE_NOT_HELD, CFileException::accessDenied},
    {ERROR_FILE_READ_ONLY, CFileException::accessDenied},
    {ERROR_USER_MAPPED_FILE, CFileException::accessDenied},
    {ERROR_DELETE_PENDING, CFileException::accessDenied},
    {ERROR_BUSY, CFileException::accessDenied},
    {ERROR_INVALID_HANDLE, CFileException::invalidFile},
    {ERROR_INVALID_TARGET_HANDLE, CFileException::invalidFile},
    {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
    {ERROR_DIR_NOT_EMPTY, CFileException::removeCurrentDir},
    {ERROR_NO_MORE_FILES, CFileException::directoryFull},
    {ERROR_CANNOT_MAKE, CFileException::directoryFull},
    {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
    {ERROR_SEEK, CFileException::badSeek},
    {ERROR_SEEK_ON_DEVICE, CFileException::badSeek},
    {ERROR_SECTOR_NOT_FOUND, CFileException::badSeek},
    {ERROR_NOT_READY, CFileException::hardIO},
    {ERROR_CRC, CFileException::hardIO},
    {ERROR_BAD_UNIT, CFileException::hardIO},
    {ERROR_BAD_COMMAND, CFileException::hardIO},
    {ERROR_BAD_LENGTH, CFileException::hardIO},
    {ERROR_WRITE_FAULT, CFileException::hardIO},
    {ERROR_READ_FAULT, CFileException::hardIO},
    {ERROR_GEN_FAILURE, CFileException::hardIO},
    {ERROR_IO_DEVICE, CFileException::hardIO},
    {ERROR_NO_MEDIA_IN_DRIVE, CFileException::hardIO},
    {ERROR_DEVICE_NOT_CONNECTED, CFileException::hardIO},
    {ERROR_UNRECOGNIZED_MEDIA, CFileException::hardIO},
    {ERROR_ADAP_HDW_ERR, CFileException::hardIO},
    {ERROR_NET_WRITE_FAULT, CFileException::hardIO},
    {ERROR_UNEXP_NET_ERR, CFileException::hardIO},
    {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
    {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
    {ERROR_LOCK_FAILED, CFileException::lockViolation},
    {ERROR_DRIVE_LOCKED, CFileException::lockViolation},
    {ERROR_DISK_FULL, CFileException::diskFull},
    {ERROR_HANDLE_DISK_FULL, CFileException::diskFull},
    {ERROR_HANDLE_EOF, CFileException::endOfFile},
};

constexpr int64_t kFileTimeTo1970 = 116444736000000000LL;
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

CTime TimeFromFileTime(const FILETIME& time) {
    uint64_t value = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return value ? CTime::FromFileTime(value) : CTime();
}

FILETIME FileTimeFromTime(const CTime& time) {
    uint64_t value = static_cast<uint64_t>(time.GetTime() * 10000000 + kFileTimeTo1970);
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

void SetAttributes(const std::wstring& path, DWORD attributes, const CString& name) {
    if (!SetFileAttributesW(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), name);
}

} // namespace

int CFileException::OsErrorToException(LONG osError) {
    for (const ErrorCause& entry : kErrorCauses) {
        if (entry.osError == osError)
            return entry.cause;
    }
    return genericException;
}

void CFileException::ThrowOsError(LONG osError, const CString& fileName) {
    throw CFileException(OsErrorToException(osError), osError, fileName);
}

bool CFile::Open(const CString& path, UINT openFlags, CFileException* error) {
    Abort();
    m_path = path;
    m_text = (openFlags & typeText) != 0;

    DWORD access = 0;
    switch (openFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    default: access = GENERIC_READ | GENERIC_WRITE; break;
    }
    DWORD share = 0;
    switch (openFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break; // compatibility mode is exclusive, as is shareExclusive
    }
    DWORD creation = OPEN_EXISTING;
    if (openFlags & modeCreate)
        creation = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    // Handles are never inherited: a started program must not hold a file open for us.
    HANDLE file = CreateFileW(Widen(path).c_str(), access, share, nullptr, creation,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (error) {
            LONG osError = static_cast<LONG>(GetLastError());
            *error = CFileException(CFileException::OsErrorToException(osError), osError, path);
        }
        return false;
    }
    m_hFile.Reset(file);
    return true;
}

void CFile::ThrowLastError() const {
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_path);
}

UINT CFile::Read(void* buffer, UINT count) {
    if (!IsOpen())
        CFileException::ThrowOsError(ERROR_INVALID_HANDLE, m_path);
    if (count == 0)
        return 0;
    DWORD read = 0;
    if (!ReadFile(m_hFile.Get(), buffer, count, &read, nullptr))
        ThrowLastError();
    return read;
}

void CFile::Write(const void* buffer, UINT count) {
    if (!IsOpen())
        CFileException::ThrowOsError(ERROR_INVALID_HANDLE, m_path);
    if (count == 0)
        return;
    DWORD written = 0;
    if (!WriteFile(m_hFile.Get(), buffer, count, &written, nullptr))
        ThrowLastError();
    if (written != count)
        throw CFileException(CFileException::diskFull, -1, m_path);
}

uint64_t CFile::Seek(int64_t offset, UINT from) {
    if (!IsOpen())
        CFileException::ThrowOsError(ERROR_INVALID_HANDLE, m_path);
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    DWORD method = from == end ? FILE_END : from == current ? FILE_CURRENT : FILE_BEGIN;
    if (!SetFilePointerEx(m_hFile.Get(), distance, &position, method))
        ThrowLastError();
    return static_cast<uint64_t>(position.QuadPart);
}

uint64_t CFile::GetLength() const {
    if (!IsOpen())
        CFileException::ThrowOsError(ERROR_INVALID_HANDLE, m_path);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile.Get(), &size))
        ThrowLastError();
    return static_cast<uint64_t>(size.QuadPart);
}

void CFile::SetLength(uint64_t length) {
    Seek(static_cast<int64_t>(length), begin);
    if (!SetEndOfFile(m_hFile.Get()))
        ThrowLastError();
}

void CFile::Close() {
    if (!m_hFile.Close())
        ThrowLastError();
}

void CFile::Abort() {
    m_hFile.Reset();
}

bool CFile::GetStatus(const CString& path, CFileStatus& status) {
    status = CFileStatus();
    // A search pattern would give the status of whatever it matches first. The "\\?\"
    // in front of a long path is no pattern.
    const int start = path.Left(4) == "\\\\?\\" ? 4 : 0;
    if (path.GetLength() <= start || path.Find('*', start) >= 0 || path.Find('?', start) >= 0)
        return false;
    std::wstring wide = Widen(path);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);

    DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length > 0) {
        std::wstring full(length, L'\0');
        length = GetFullPathNameW(wide.c_str(), length, &full[0], nullptr);
        status.m_szFullName = Narrow(full.c_str(), static_cast<int>(length));
    }
    status.m_attribute = found.dwFileAttributes & ~FILE_ATTRIBUTE_NORMAL;
    status.m_size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    status.m_mtime = TimeFromFileTime(found.ftLastWriteTime);
    status.m_atime = TimeFromFileTime(found.ftLastAccessTime);
    status.m_ctime = TimeFromFileTime(found.ftCreationTime);
    if (status.m_atime.GetTime() == 0)
        status.m_atime = status.m_mtime;
    if (status.m_ctime.GetTime() == 0)
        status.m_ctime = status.m_mtime;
    return true;
}

void CFile::SetStatus(const CString& path, const CFileStatus& status) {
    std::wstring wide = Widen(path);
    DWORD current = GetFileAttributesW(wide.c_str());
    if (current == INVALID_FILE_ATTRIBUTES)
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), path);
    const DWORD wanted = status.m_attribute & kSettableAttributes;
    const bool change = wanted != (current & kSettableAttributes);

    // A read-only entry must lose that attribute before its times can be written.
    if (change && (current & FILE_ATTRIBUTE_READONLY))
        SetAttributes(wide, wanted, path);

    if (status.m_mtime.GetTime() != 0) {
        FILETIME modified = FileTimeFromTime(status.m_mtime), accessed{}, created{};
        FILETIME* accessedPtr = nullptr;
        FILETIME* createdPtr = nullptr;
        if (status.m_atime.GetTime() != 0) {
            accessed = FileTimeFromTime(status.m_atime);
            accessedPtr = &accessed;
        }
        if (status.m_ctime.GetTime() != 0) {
            created = FileTimeFromTime(status.m_ctime);
            createdPtr = &created;
        }
        const CHandle entry(CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
        if (!entry.IsValid() || !SetFileTime(entry.Get(), createdPtr, accessedPtr, &modified))
            CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), path);
    }

    if (change && !(current & FILE_ATTRIBUTE_READONLY))
        SetAttributes(wide, wanted, path);
}

bool CStdioFile::Open(const CString& path, UINT openFlags, CFileException* error) {
    // A stream is text unless it is opened as binary.
    if (!(openFlags & typeBinary))
        openFlags |= typeText;
    return CFile::Open(path, openFlags, error);
}

void CStdioFile::WriteString(const char* text) {
    std::string out;
    if (m_text) {
        for (const char* p = text; *p; ++p) {
            if (*p == '\n' && (p == text || p[-1] != '\r'))
                out += '\r';
            out += *p;
        }
    } else {
        out = text;
    }
    Write(out.data(), static_cast<UINT>(out.size()));
}

CString FileErrorText(const CFileException& error) {
    static const char* const kTexts[] = {
        "No Error.",
        "An unspecified error occurred.",
        "The file could not be located.",
        "All or part of the path is invalid.",
        "The permitted number of open files was exceeded.",
        "The file could not be accessed.",
        "There was an attempt to use an invalid file handle.",
        "The current working directory cannot be removed.",
        "There are no more directory entries.",
        "There was an error trying to set the file pointer.",
        "There was a hardware error.",
        "SHARE.EXE was not loaded, or a shared region was locked.",
        "There was an attempt to lock a region that was already locked.",
        "The disk is full.",
        "The end of file was reached.",
    };
    const int cause = error.m_cause;
    if (cause < 1 || cause > 14)
        return kTexts[0];
    return kTexts[cause];
}
