#pragma once
// The listing of one folder: a record per entry, each folder with the total below it.
#include <atomic>
#include <cstdint>

#include "classlib/String.h"
#include "usage/FolderWalk.h"
#include "usage/UsageEntry.h"

// Adds a record per entry of folder (a path ending in a backslash) to entries, a
// sub-folder with the sizes of everything below it that walk may enter, and orders them
// largest first, equal sizes in search order (through sortBuffer, empty before and
// after). Returns the sum of their sizes. Once stop is set it ends at the next entry and
// leaves the records it has in search order. A folder that cannot be searched gives none.
uint64_t ListFolder(const CString& folder, CFolderWalk& walk, const std::atomic<bool>& stop,
                    CEntryArray& entries, CEntryArray& sortBuffer);
