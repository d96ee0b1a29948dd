#pragma once
// ErrorLog: the error log file next to the program, one time-stamped line per failed
// file operation, with a size limit and one backup generation.
#include <windows.h>

#include <cstdint>

#include "classlib/File.h"
#include "classlib/String.h"

// Writes log lines and rotates the file to its backup when it grows past the limit.
class ErrorLog {
  public:
    ErrorLog();

    // Takes the path of the log files without extension; ".log" and ".bak" are added.
    void SetBasePath(CString basePath);
    // Appends one line; true when it was written.
    bool Write(CString message);
    CString GetLogPath() const { return m_logPath; }
    CString GetBackupPath() const { return m_backupPath; }
    void SetLogMax(uint32_t logMax) { m_logMax = logMax; }
    uint32_t GetLogMax() const { return m_logMax; }

  private:
    uint32_t m_logMax;
    CString m_logPath;
    CString m_backupPath;
};

// Opens the log file for reading in a way that lets ErrorLog::Write go on appending
// meanwhile; false with the reason in error when it cannot be opened.
bool OpenLogForReading(CFile& file, const CString& path, CFileException* error = nullptr);

// Deletes the log file, waiting briefly while a line is being written to it; false when
// it stays.
bool DeleteLogFile(const CString& path);

// One line of the log: "<dd.mm.yyyy hh:mm:ss>: message" and CR LF.
CString FormatLogLine(const SYSTEMTIME& time, const CString& message);
