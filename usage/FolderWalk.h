#pragma once
// The folder walk that the size total and the read-only change share: the long forms of
// paths, reading a folder's entries with one open per folder, the search predicates, and
// the walk below a folder. It stands on the class layer alone.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "classlib/Handle.h"
#include "classlib/String.h"

// One search result. It points into the reader's buffer and is valid until the reader's
// next call.
struct FolderEntry {
    const wchar_t* name = nullptr;
    int nameLength = 0; // in UTF-16 units, without a terminating zero
    uint32_t attributes = 0;
    uint64_t size = 0;
    uint64_t lastWrite = 0; // FILETIME, UTC
    uint64_t id = 0;        // file id on its volume; 0 when the file system gives none
};

bool IsDirectory(const FolderEntry& entry);
// A directory named exactly "." or "..".
bool IsDotEntry(const FolderEntry& entry);
uint64_t FileSize64(const FolderEntry& entry);
// A junction, symbolic link or mount point: counted, never entered.
bool IsReparsePoint(const FolderEntry& entry);
// The entry of a plain search's result (no file id); its name points into data.
void EntryFromFindData(const WIN32_FIND_DATAW& data, FolderEntry& entry);

// The form of an entry's path for the wide file functions: "\\?\" in front, so that any
// name and any length up to the system's limit is taken literally; no backslash is added
// or taken away. "P:\a" gives "\\?\P:\a", "\\srv\share\a" "\\?\UNC\srv\share\a".
std::wstring EntryLongPath(const CString& path);
// The same for a folder, with a trailing backslash: "P:\a" gives "\\?\P:\a\". Empty for
// an empty path.
std::wstring LongPath(const CString& path);
// The path as the user knows it, without the "\\?\" in front.
CString UserPath(const std::wstring& longPath);

// Where a folder is: its volume's serial number and its file id there.
struct FolderIdentity {
    DWORD volume = 0;
    uint64_t id = 0; // 0: unknown
};
// The identity of a folder given in LongPath form; id 0 when it cannot be read.
FolderIdentity IdentifyFolder(const std::wstring& folder);

// The folders a walk must not enter again, by identity: those from the volume's root down
// to the folder whose entries are listed, and those on the walk's way down. A folder met
// again among them is a loop that the file system does not mark (a bind mount, a folder
// mounted into itself). An unknown identity (id 0) is never a loop.
class CLoopGuard {
  public:
    // The folders from the volume's root down to the listed folder, root first.
    void SetAbove(std::vector<FolderIdentity> above) { m_above = std::move(above); }
    const std::vector<FolderIdentity>& GetAbove() const { return m_above; }
    // A walk begins at its top, goes down into a folder of the top's volume, comes back up.
    void Begin(const FolderIdentity& top);
    // A walk that goes on below a folder another walk met: that walk's volume and its way
    // down, the folder itself last.
    void Resume(DWORD volume, std::vector<uint64_t> way);
    DWORD GetVolume() const { return m_volume; }
    const std::vector<uint64_t>& GetWay() const { return m_way; }
    void Down(uint64_t id) { m_way.push_back(id); }
    void Up();
    // Whether an entry of the listed folder with this id is one of the folders above.
    bool IsAbove(uint64_t id) const;
    // Whether a folder the walk meets with this id is above it or on its way down.
    bool WouldLoop(uint64_t id) const { return WouldLoop(id, m_way.size()); }
    // The same for a folder met higher up: only the first wayLength folders of the way
    // down are on its way.
    bool WouldLoop(uint64_t id, size_t wayLength) const;

  private:
    bool Above(DWORD volume, uint64_t id) const;

    std::vector<FolderIdentity> m_above;
    std::vector<uint64_t> m_way; // from the walk's top down to the current folder
    DWORD m_volume = 0;          // of the walk's top: everything below is on it
};

// Reads the entries of one folder, "." and ".." included, in the order the file system
// gives them. The batch buffer is kept and reused for every folder the reader opens.
class CFolderReader {
  public:
    enum Method {
        // GetFileInformationByHandleEx(FileIdBothDirectoryInfo): one open per folder,
        // entries in batches, file ids included. Falls back to kFindFile for a folder
        // whose file system does not answer it.
        kHandleBatches,
        // FindFirstFileExW with the basic information and large fetches; no file ids.
        kFindFile,
    };

    explicit CFolderReader(DWORD bufferSize = 64 * 1024) : m_bufferSize(bufferSize) {}
    CFolderReader(const CFolderReader&) = delete;
    CFolderReader& operator=(const CFolderReader&) = delete;
    ~CFolderReader() { Close(); }

    void SetMethod(Method method) { m_method = method; }
    // Opens a folder given in LongPath form; false when it cannot be searched.
    bool Open(const std::wstring& folder);
    // The next entry; false at the end or when the folder can no longer be read.
    bool Next(FolderEntry& entry);
    void Close();

  private:
    bool ReadBatch();
    bool OpenFind(const std::wstring& folder);

    Method m_method = kHandleBatches;
    DWORD m_bufferSize;
    std::unique_ptr<uint64_t[]> m_buffer; // 8-byte aligned, as the records need
    CHandle m_folder;
    HANDLE m_find = INVALID_HANDLE_VALUE;
    std::wstring m_pattern;
    WIN32_FIND_DATAW m_findData{};
    bool m_findPending = false; // m_findData holds a result not yet returned
    bool m_batchValid = false;  // m_buffer holds records from m_offset on
    DWORD m_offset = 0;
};

// Takes folders over that a walk would enter, for another walk to go on below them.
class CFolderSharer {
  public:
    virtual ~CFolderSharer() = default;
    // Whether a folder offered now would be taken over.
    virtual bool Wanted() = 0;
    // Takes over folder (LongPath form), met by the walk guarded by guard below the first
    // wayLength folders of its way down (the last of them its parent); id: its file id.
    // False only when it cannot (out of memory): the walk then goes on below it itself.
    virtual bool Share(const std::wstring& folder, const CLoopGuard& guard, size_t wayLength,
                       uint64_t id) = 0;
};

// The walk below a folder: depth first in the order of the search results, without
// recursion on the stack (any depth the path length allows), one reader per level kept
// for the next walk, one path buffer. Reparse points are met but not entered; nor is a
// folder that is already on the way down from the walk's top or above it (a loop that
// the file system does not mark). The size total is one use of it.
class CFolderWalk {
  public:
    // The longest path the wide file functions take, plus room for one more name.
    static constexpr size_t kPathReserve = 32768 + 512;

    // The walk ends early, at the next entry, once stop is set.
    explicit CFolderWalk(const std::atomic<bool>& stop) : m_stop(stop) {}

    void SetMethod(CFolderReader::Method method) { m_method = method; }
    CFolderReader::Method GetMethod() const { return m_method; }
    // Remembers the identities of a folder (LongPath form) and of each folder above it, so
    // that none of them is entered again below it. An empty path forgets them.
    void SetAncestors(const std::wstring& folder);
    // The identities SetAncestors found, root first; and the same given again.
    const std::vector<FolderIdentity>& GetAncestors() const { return m_guard.GetAbove(); }
    void SetAncestors(std::vector<FolderIdentity> above) { m_guard.SetAbove(std::move(above)); }
    // Whether a sub-folder of the folder given to SetAncestors may be entered.
    bool MayEnter(const FolderEntry& entry) const;
    // Offers folders to sharer (none when null) while it wants them, the largest parts of
    // the walk that are left first: the folders not yet met by the levels nearest the top
    // (whose entries are visited then, ahead of their turn), then the one the walk is
    // about to enter.
    void SetSharer(CFolderSharer* sharer) { m_sharer = sharer; }
    // Opens a folder (LongPath form) as the top of the next Walk; false when it cannot
    // be searched.
    bool Open(const std::wstring& folder);
    // The same for a folder that a sharer took over, with the volume and way of its guard.
    bool Resume(const std::wstring& folder, DWORD volume, std::vector<uint64_t> way);
    // Walks everything below the folder Open took, once. Calls visit(entry, folder) for
    // every entry, "." and ".." included, before entering it; folder is the LongPath form
    // of the folder that lists the entry, valid during the call. Visits nothing when the
    // last Open failed.
    template <class Visit> void Walk(Visit&& visit);
    // Adds the sizes of everything below folder (LongPath form) to total, reparse points
    // with their own entry size; false when the folder itself cannot be searched.
    bool Sum(const std::wstring& folder, uint64_t& total);

  private:
    struct Level {
        explicit Level(DWORD bufferSize) : reader(bufferSize) {}
        CFolderReader reader;
        size_t pathLength = 0; // of m_path before this level's name was appended
        bool drained = false;  // every entry read, by a hand-over
    };
    Level* LevelAt(size_t depth);
    // Opens the top level of the next Walk.
    bool OpenTop(const std::wstring& folder);
    // Hands the sharer the folders still to be met by the levels above depth, nearest the
    // top first, while it wants them.
    template <class Visit> void ShareAbove(size_t depth, Visit& visit);
    // Enters a sub-folder met at depth if it may be entered and can be searched.
    void Enter(const FolderEntry& entry, size_t& depth);
    // Leaves the folder at depth once it is read; false when that was the top.
    bool Leave(size_t& depth);
    // Closes the readers down to depth: the walk was stopped.
    void CloseDownTo(size_t depth);

    const std::atomic<bool>& m_stop;
    CFolderReader::Method m_method = CFolderReader::kHandleBatches;
    std::vector<std::unique_ptr<Level>> m_levels;
    CLoopGuard m_guard;
    CFolderSharer* m_sharer = nullptr;
    size_t m_wayBase = 0; // folders on the way down above the top, from a walk handed over
    std::wstring m_path;
    bool m_opened = false; // Open took a folder that Walk has not walked yet
};

template <class Visit> void CFolderWalk::Walk(Visit&& visit) {
    if (!m_opened)
        return;
    m_opened = false;
    size_t depth = 0;
    FolderEntry entry;
    for (;;) {
        if (m_stop.load(std::memory_order_relaxed)) {
            CloseDownTo(depth);
            return;
        }
        Level& level = *m_levels[depth];
        if (level.drained || !level.reader.Next(entry)) {
            if (!Leave(depth))
                return;
            continue;
        }
        visit(static_cast<const FolderEntry&>(entry), static_cast<const std::wstring&>(m_path));
        if (!IsDirectory(entry) || IsDotEntry(entry))
            continue;
        if (m_sharer && depth > 0 && m_sharer->Wanted())
            ShareAbove(depth, visit);
        Enter(entry, depth);
    }
}

template <class Visit> void CFolderWalk::ShareAbove(size_t depth, Visit& visit) {
    FolderEntry entry;
    for (size_t above = 0; above < depth; ++above) {
        Level& level = *m_levels[above];
        if (level.drained)
            continue;
        const std::wstring folder = m_path.substr(0, m_levels[above + 1]->pathLength);
        while (level.reader.Next(entry)) {
            visit(static_cast<const FolderEntry&>(entry), folder);
            if (!IsDirectory(entry) || IsDotEntry(entry) || IsReparsePoint(entry) ||
                m_guard.WouldLoop(entry.id, m_wayBase + above + 1))
                continue;
            std::wstring child = folder;
            child.append(entry.name, static_cast<size_t>(entry.nameLength));
            child += L'\\';
            // Out of memory: the folder is left out, as the walk cannot go back up to it.
            m_sharer->Share(child, m_guard, m_wayBase + above + 1, entry.id);
            if (!m_sharer->Wanted())
                return;
        }
        level.drained = true;
    }
}
