#pragma once
// The texts of the usage list: sizes, shares, attribute letters, times, and the path
// helper. Free of Windows, so they are tested anywhere.
#include <cstdint>

#include "classlib/String.h"
#include "classlib/Time.h"

// "0 Bytes", "1 Byte", "1.5 KB" ... "1024.0 TB".
CString FormatSize(uint64_t size);
// part / whole as "45.67%"; a zero whole gives "0.00%".
CString FormatShare(uint64_t part, uint64_t whole);
// The size, used and free cells of a drive row; used and free as "<share> [<size>]".
struct DriveCells {
    CString size, used, free;
};
// A quota can report more free space than the capacity: the drive then shows as all free,
// never with a negative use.
DriveCells FormatDriveCells(uint64_t total, uint64_t free);
// Twelve letters, one per attribute bit, e.g. "A-F---------".
CString AttributeLetters(uint32_t attributes);
// Last-write time as "28.02.07 14:05" in local time.
CString FormatEntryTime(const CTime& time);
// Appends a backslash to a non-empty path that lacks one.
void AppendBackslash(CString& path);
// The unit word of a size-unit code: "Byte", "KB", "MB", "GB" or "???".
const char* UnitName(int code);
