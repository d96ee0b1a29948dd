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
// after). The sub-folders' totals are summed by a pool of workers (CParallelWalk, reading
// folders as walk does) while the entries are read. Returns the sum of their sizes. Once
// stop is set it ends at the next entry, every worker with it, and leaves the records it
// has in search order. A folder that cannot be searched gives none.
uint64_t ListFolder(const CString& folder, CFolderWalk& walk, const std::atomic<bool>& stop,
                    CEntryArray& entries, CEntryArray& sortBuffer);
