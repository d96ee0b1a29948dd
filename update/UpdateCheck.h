#pragma once
// The update check: the update list fetched over HTTP, the program's record compared
// with its own version, the offer and its answer; the transfers are update/Download.h's.
#include <windows.h>

#include <cstdint>

#include "classlib/String.h"
#include "update/Download.h"
#include "update/UpdateEntry.h"

// Most bytes accepted for the update list, and how long its transfer may take in all.
constexpr uint64_t kUpdateListLimit = 1u << 20;
constexpr DWORD kListTimeLimitMs = 30000;

// The update server's base URL, ending in "/": VOLDIX_UPDATE_URL when it is set,
// otherwise the one the program was built with.
CString UpdateBaseUrl();
// Asks the server whether a newer version of the program key exists, offers it and
// downloads it next to the program; every result is told in boxes owned by owner.
// True only when a newer version was downloaded.
bool CheckForUpdate(const char* key, HWND owner);
// The first record of key in the update list at url, or null; the caller frees it with
// FreeUpdateList. A failed transfer shows only the error box of an internet or file
// exception; closing is set when the wait ended because the program is being closed.
UpdateEntry* FetchUpdateRecord(const char* url, const char* key, HWND owner,
                               bool* closing = nullptr);
// For tests: shorter time limits for the list and a download (0 for the usual ones).
void SetTransferTimeLimits(DWORD listMs, DWORD downloadMs);
// True when the remote record's version is greater than the program's own, which is
// read into local; false when the own version cannot be read.
bool IsNewerVersion(const UpdateEntry* remote, UpdateEntry* local);
