#include "usage/FolderListing.h"

#include <windows.h>

#include "classlib/WinText.h"

uint64_t ListFolder(const CString& folder, CFolderWalk& walk, const std::atomic<bool>& stop,
                    CEntryArray& entries, CEntryArray& sortBuffer) {
    uint64_t total = 0;
    const std::wstring longFolder = LongPath(folder);
    walk.SetAncestors(longFolder);
    CFolderReader reader;
    reader.SetMethod(walk.GetMethod());
    if (reader.Open(longFolder)) {
        FolderEntry entry;
        while (!stop && reader.Next(entry)) {
            if (!IsDotEntry(entry)) {
                const CString name = Narrow(entry.name, entry.nameLength);
                uint64_t size = 0;
                if (walk.MayEnter(entry))
                    walk.Sum(LongPath(folder + name + "\\"), size);
                else
                    size = FileSize64(entry);
                total += size;
                entries.AddCopy(UsageEntry(name, IsDirectory(entry), size,
                                           CTime::FromFileTime(entry.lastWrite), entry.attributes));
            }
            // The designed pause of 1 ms per entry.
            Sleep(1);
        }
    }
    reader.Close();
    walk.SetAncestors(std::wstring());
    if (!stop)
        entries.SortBySize(sortBuffer);
    return total;
}
