#include "usage/FolderListing.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "classlib/WinText.h"
#include "usage/ParallelWalk.h"

uint64_t ListFolder(const CString& folder, CFolderWalk& walk, const std::atomic<bool>& stop,
                    CEntryArray& entries, CEntryArray& sortBuffer) {
    uint64_t total = 0;
    const std::wstring longFolder = LongPath(folder);
    walk.SetAncestors(longFolder);
    // The sub-folders' totals are summed by the pool meanwhile: for each, the index of its
    // record (-1: none could be made) and of its total.
    CParallelWalk pool(stop);
    pool.Start(walk.GetMethod(), walk.GetAncestors());
    std::vector<std::pair<int, size_t>> summed;
    CFolderReader reader;
    reader.SetMethod(walk.GetMethod());
    if (reader.Open(longFolder)) {
        FolderEntry entry;
        while (!stop && reader.Next(entry)) {
            if (!IsDotEntry(entry)) {
                const bool sum = walk.MayEnter(entry);
                const size_t index =
                    sum ? pool.Add(longFolder + std::wstring(entry.name, entry.nameLength) + L'\\')
                        : 0;
                const uint64_t size = sum ? 0 : FileSize64(entry);
                total += size;
                const bool added = entries.AddCopy(
                    UsageEntry(Narrow(entry.name, entry.nameLength), IsDirectory(entry), size,
                               CTime::FromFileTime(entry.lastWrite), entry.attributes));
                if (sum)
                    summed.emplace_back(added ? entries.GetSize() - 1 : -1, index);
            }
            // The designed pause of 1 ms per entry.
            Sleep(1);
        }
    }
    reader.Close();
    pool.Finish();
    for (const auto& [record, index] : summed) {
        total += pool.Total(index);
        if (record >= 0)
            entries.GetEntry(record)->m_size = pool.Total(index);
    }
    walk.SetAncestors(std::wstring());
    if (!stop)
        entries.SortBySize(sortBuffer);
    return total;
}
