#pragma once
// The walk of the bulk read-only change: it sets or clears the read-only attribute of
// entries and of everything below folders.
#include <windows.h>

#include <atomic>
#include <string>

#include "attrib/AttribMode.h"
#include "classlib/String.h"
#include "log/ErrorLog.h"
#include "usage/FolderWalk.h"

// The attribute word an entry gets: only the read-only bit follows the mode, every other
// bit (the ones above the low eight included) stays as read.
DWORD ReadOnlyAttributes(DWORD attributes, AttribMode mode);
// The question before the change, in two lines.
CString ReadOnlyQuestion(AttribMode mode);
// The report of a change in which at least one entry failed.
CString ReadOnlyFailureReport(AttribMode mode);

// Changes entries one status read and write at a time; each entry whose attributes cannot
// be written is one line in the error log. Below a folder it walks depth first in the
// order of the search results, each entry changed before the entries inside it. Reparse
// points are changed but not entered; nor is a folder met again that lies on the way
// down to the current one or above the walk's top (a loop the file system does not mark).
class CAttribWalk {
  public:
    // The walk ends early, after the entry at hand, once stop is set.
    CAttribWalk(ErrorLog& log, const std::atomic<bool>& stop) : m_log(log), m_walk(stop) {}

    // One entry given by its path; false only when writing its attributes failed. An
    // entry without a status record (a drive's root, a vanished entry) is passed over.
    bool ChangeEntry(const CString& path, AttribMode mode);
    // Everything below a folder; false when any entry failed. A path that names no folder
    // that can be searched changes nothing and is no failure.
    bool ChangeTree(const CString& path, AttribMode mode);

  private:
    bool ChangeLongEntry(const std::wstring& longPath, AttribMode mode);
    // Writes the log line of a failed entry; a line that cannot be written is lost.
    void LogFailure(int cause, const std::wstring& longPath);

    ErrorLog& m_log;
    CFolderWalk m_walk;
    std::wstring m_entryPath; // the entry at hand in the walk, in the long form
};
