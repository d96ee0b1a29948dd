#include "ErrorLog.h"

#include <cerrno>

#include "LogFiles.h"
#include "classlib/File.h"
#include "classlib/WinText.h"

ErrorLog::ErrorLog()
    : m_logMax(1048576), m_logPath("C:\\Log.log"), m_backupPath("C:\\Log.bak"), m_stamp() {}

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
        CStdioFile file;
        if (file.Open(m_logPath, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                                     CFile::shareExclusive | CFile::typeText)) {
            uint64_t start = 0;
            try {
                start = file.SeekToEnd();
                GetLocalTime(&m_stamp);
                file.WriteString(FormatLogLine(m_stamp, message));
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
