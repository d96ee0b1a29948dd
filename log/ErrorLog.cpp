#include "ErrorLog.h"

#include <cerrno>

#include "LogFiles.h"
#include "classlib/File.h"
#include "classlib/WinText.h"

namespace {
// How often, and how many milliseconds apart, a line (or deleting the log) is tried
// again while the file is held by a writer or another program.
constexpr int kOpenRetries = 10;
constexpr DWORD kOpenRetryPause = 20;

bool HeldByOther(LONG osError) {
    return osError == ERROR_SHARING_VIOLATION || osError == ERROR_LOCK_VIOLATION;
}
} // namespace

ErrorLog::ErrorLog() : m_logMax(1048576), m_logPath("C:\\Log.log"), m_backupPath("C:\\Log.bak") {}

CString FormatLogLine(const SYSTEMTIME& time, const CString& message) {
    CString line;
    line.Format("<%.2d.%.2d.%.4d %.2d:%.2d:%.2d>: %s\r\n", time.wDay, time.wMonth, time.wYear,
                time.wHour, time.wMinute, time.wSecond, message.c_str());
    return line;
}

void ErrorLog::SetBasePath(CString basePath) {
    CString drive, folder, name, extension;
    SplitPath(basePath, &drive, &folder, &name, &extension);
    CString logFolder = drive + folder;
    if (!logFolder.IsEmpty()) {
        const char last = logFolder[logFolder.GetLength() - 1];
        if (last != '\\' && last != '/')
            logFolder += '\\';
    }
    if (!IsFolder(logFolder)) {
        const int made = MakeFolderPath(logFolder);
        if (made != 0 && made != EEXIST)
            logFolder = "C:\\";
    }
    const CString stem = logFolder + name;
    m_logPath = stem + (extension.IsEmpty() ? CString(".log") : extension);
    m_backupPath = stem + ".bak";
}

bool ErrorLog::Write(CString message) {
    bool written = false;
    uint64_t length = 0;
    {
        // Readers are admitted (the log viewer); no other writer is.
        CStdioFile file;
        CFileException error;
        bool opened = false;
        for (int attempt = 0;; ++attempt) {
            opened = file.Open(m_logPath,
                               CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                                   CFile::shareDenyWrite | CFile::typeText,
                               &error);
            if (opened || attempt == kOpenRetries || !HeldByOther(error.m_lOsError))
                break;
            Sleep(kOpenRetryPause);
        }
        if (opened) {
            uint64_t start = 0;
            try {
                start = file.SeekToEnd();
                SYSTEMTIME stamp;
                GetLocalTime(&stamp);
                file.WriteString(FormatLogLine(stamp, message));
                length = file.GetLength();
                file.Close();
                written = true;
            } catch (const CFileException&) {
                // The line is lost as if the file had not opened; a part of it that
                // reached the file is cut off again.
                try {
                    if (file.IsOpen())
                        file.SetLength(start);
                } catch (const CFileException&) {
                }
                file.Abort();
                length = 0;
            }
        }
    }
    if (length > m_logMax) {
        CopyFileW(Widen(m_logPath).c_str(), Widen(m_backupPath).c_str(), FALSE);
        DeleteFileW(Widen(m_logPath).c_str());
    }
    return written;
}

bool OpenLogForReading(CFile& file, const CString& path, CFileException* error) {
    // Sharing writes lets a line be appended while the file is read. Deleting is not
    // shared: a rotation meanwhile keeps the file and is done again at the next line,
    // whereas a file pending deletion would refuse every line until the reader closed.
    return file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary, error);
}

bool DeleteLogFile(const CString& path) {
    const std::wstring wide = Widen(path);
    for (int attempt = 0;; ++attempt) {
        if (DeleteFileW(wide.c_str()))
            return true;
        if (attempt == kOpenRetries || !HeldByOther(static_cast<LONG>(GetLastError())))
            return false;
        Sleep(kOpenRetryPause);
    }
}
