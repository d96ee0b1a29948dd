// The folder walk: long paths, the folder reader and the walk below a folder.
#include "usage/FolderWalk.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "classlib/WinText.h"

namespace {
// Levels deeper than this get small batch buffers: deep chains are narrow, and the
// buffers of all levels live at once.
constexpr size_t kWideLevels = 32;
constexpr DWORD kWideBuffer = 64 * 1024;
constexpr DWORD kNarrowBuffer = 4 * 1024;

uint64_t Join(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}
} // namespace

// ---- Search predicates ----

bool IsDirectory(const FolderEntry& entry) {
    return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDotEntry(const FolderEntry& entry) {
    if (!IsDirectory(entry))
        return false;
    return (entry.nameLength == 1 && entry.name[0] == L'.') ||
           (entry.nameLength == 2 && entry.name[0] == L'.' && entry.name[1] == L'.');
}

uint64_t FileSize64(const FolderEntry& entry) {
    return entry.size;
}

bool IsReparsePoint(const FolderEntry& entry) {
    return (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::wstring EntryLongPath(const CString& path) {
    std::wstring wide = Widen(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.empty() || wide.compare(0, 4, L"\\\\?\\") == 0)
        return wide;
    if (wide.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return L"\\\\?\\" + wide;
}

std::wstring LongPath(const CString& path) {
    std::wstring result = EntryLongPath(path);
    if (!result.empty() && result.back() != L'\\')
        result += L'\\';
    return result;
}

CString UserPath(const std::wstring& longPath) {
    if (longPath.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return Narrow(L"\\\\" + longPath.substr(8));
    if (longPath.compare(0, 4, L"\\\\?\\") == 0)
        return Narrow(longPath.substr(4));
    return Narrow(longPath);
}

FolderIdentity IdentifyFolder(const std::wstring& folder) {
    FolderIdentity identity;
    const CHandle handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (handle.IsValid() && GetFileInformationByHandle(handle.Get(), &info)) {
        identity.volume = info.dwVolumeSerialNumber;
        identity.id = Join(info.nFileIndexHigh, info.nFileIndexLow);
    }
    return identity;
}

void EntryFromFindData(const WIN32_FIND_DATAW& data, FolderEntry& entry) {
    entry.name = data.cFileName;
    entry.nameLength = static_cast<int>(wcsnlen(data.cFileName, MAX_PATH));
    entry.attributes = data.dwFileAttributes;
    entry.size = Join(data.nFileSizeHigh, data.nFileSizeLow);
    entry.lastWrite = Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    entry.id = 0;
}

// ---- CFolderReader ----

bool CFolderReader::Open(const std::wstring& folder) {
    Close();
    if (m_method == kFindFile)
        return OpenFind(folder);
    if (!m_buffer)
        m_buffer.reset(new (std::nothrow) uint64_t[m_bufferSize / sizeof(uint64_t)]);
    if (!m_buffer)
        return OpenFind(folder);
    m_folder.Reset(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!m_folder.IsValid())
        return false;
    if (ReadBatch() || GetLastError() == ERROR_NO_MORE_FILES)
        return true;
    // Some file systems (older network servers among them) do not answer this kind of
    // query; the plain search still lists them.
    Close();
    return OpenFind(folder);
}

bool CFolderReader::OpenFind(const std::wstring& folder) {
    m_pattern.assign(folder);
    m_pattern += L'*';
    m_find = FindFirstFileExW(m_pattern.c_str(), FindExInfoBasic, &m_findData,
                              FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    m_findPending = m_find != INVALID_HANDLE_VALUE;
    return m_findPending;
}

bool CFolderReader::ReadBatch() {
    m_batchValid = GetFileInformationByHandleEx(m_folder.Get(), FileIdBothDirectoryInfo,
                                                m_buffer.get(), m_bufferSize) != FALSE;
    m_offset = 0;
    return m_batchValid;
}

bool CFolderReader::Next(FolderEntry& entry) {
    if (m_find != INVALID_HANDLE_VALUE) {
        if (!m_findPending && !FindNextFileW(m_find, &m_findData))
            return false;
        m_findPending = false;
        EntryFromFindData(m_findData, entry);
        return true;
    }
    if (!m_folder.IsValid())
        return false;
    if (!m_batchValid && !ReadBatch())
        return false;
    const auto* record = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(
        reinterpret_cast<const char*>(m_buffer.get()) + m_offset);
    entry.name = record->FileName;
    entry.nameLength = static_cast<int>(record->FileNameLength / sizeof(wchar_t));
    entry.attributes = record->FileAttributes;
    entry.size = static_cast<uint64_t>(record->EndOfFile.QuadPart);
    entry.lastWrite = static_cast<uint64_t>(record->LastWriteTime.QuadPart);
    entry.id = static_cast<uint64_t>(record->FileId.QuadPart);
    if (record->NextEntryOffset)
        m_offset += record->NextEntryOffset;
    else
        m_batchValid = false;
    return true;
}

void CFolderReader::Close() {
    m_folder.Reset();
    if (m_find != INVALID_HANDLE_VALUE)
        FindClose(m_find);
    m_find = INVALID_HANDLE_VALUE;
    m_findPending = m_batchValid = false;
}

// ---- CLoopGuard ----

void CLoopGuard::Begin(const FolderIdentity& top) {
    m_volume = top.volume;
    m_way.assign(1, top.id);
}

void CLoopGuard::Resume(DWORD volume, std::vector<uint64_t> way) {
    m_volume = volume;
    m_way = std::move(way);
}

void CLoopGuard::Up() {
    if (!m_way.empty())
        m_way.pop_back();
}

bool CLoopGuard::Above(DWORD volume, uint64_t id) const {
    for (const FolderIdentity& folder : m_above)
        if (folder.volume == volume && folder.id == id)
            return true;
    return false;
}

bool CLoopGuard::IsAbove(uint64_t id) const {
    // The entries of the listed folder are on its volume.
    return id && !m_above.empty() && Above(m_above.back().volume, id);
}

bool CLoopGuard::WouldLoop(uint64_t id, size_t wayLength) const {
    const auto end = m_way.begin() + static_cast<std::ptrdiff_t>(std::min(wayLength, m_way.size()));
    return id && (std::find(m_way.begin(), end, id) != end || Above(m_volume, id));
}

// ---- CFolderWalk ----

void CFolderWalk::SetAncestors(const std::wstring& folder) {
    std::vector<FolderIdentity> above;
    // Each prefix that ends in a backslash after "\\?\" is a folder on the way down.
    for (size_t end = folder.find(L'\\', 4); end != std::wstring::npos;
         end = folder.find(L'\\', end + 1)) {
        const FolderIdentity identity = IdentifyFolder(folder.substr(0, end + 1));
        if (identity.id)
            above.push_back(identity);
    }
    m_guard.SetAbove(std::move(above));
}

bool CFolderWalk::MayEnter(const FolderEntry& entry) const {
    if (!IsDirectory(entry) || IsDotEntry(entry) || IsReparsePoint(entry))
        return false;
    return !m_guard.IsAbove(entry.id);
}

CFolderWalk::Level* CFolderWalk::LevelAt(size_t depth) {
    while (m_levels.size() <= depth) {
        std::unique_ptr<Level> level(
            new (std::nothrow) Level(m_levels.size() < kWideLevels ? kWideBuffer : kNarrowBuffer));
        if (!level)
            return nullptr;
        m_levels.push_back(std::move(level));
    }
    Level* level = m_levels[depth].get();
    level->reader.SetMethod(m_method);
    return level;
}

bool CFolderWalk::OpenTop(const std::wstring& folder) {
    m_opened = false;
    if (folder.empty())
        return false;
    if (m_path.capacity() < kPathReserve)
        m_path.reserve(kPathReserve);
    m_path.assign(folder);
    if (m_path.back() != L'\\')
        m_path += L'\\';
    Level* top = LevelAt(0);
    if (!top)
        return false;
    top->drained = false;
    return top->reader.Open(m_path);
}

bool CFolderWalk::Open(const std::wstring& folder) {
    if (!OpenTop(folder))
        return false;
    // Everything below is on the top folder's volume: reparse points are not entered.
    m_guard.Begin(IdentifyFolder(m_path));
    m_wayBase = 0;
    m_opened = true;
    return true;
}

bool CFolderWalk::Resume(const std::wstring& folder, DWORD volume, std::vector<uint64_t> way) {
    if (!OpenTop(folder))
        return false;
    m_guard.Resume(volume, std::move(way));
    m_wayBase = m_guard.GetWay().empty() ? 0 : m_guard.GetWay().size() - 1;
    m_opened = true;
    return true;
}

void CFolderWalk::Enter(const FolderEntry& entry, size_t& depth) {
    if (IsDotEntry(entry) || IsReparsePoint(entry) || m_guard.WouldLoop(entry.id))
        return;
    const size_t length = m_path.size();
    m_path.append(entry.name, static_cast<size_t>(entry.nameLength));
    m_path += L'\\';
    if (m_sharer && m_sharer->Wanted() &&
        m_sharer->Share(m_path, m_guard, m_guard.GetWay().size(), entry.id)) {
        m_path.resize(length);
        return;
    }
    Level* child = LevelAt(depth + 1);
    if (child && child->reader.Open(m_path)) {
        child->pathLength = length;
        child->drained = false;
        m_guard.Down(entry.id);
        ++depth;
    } else {
        // A folder that cannot be searched: nothing below it is met.
        m_path.resize(length);
    }
}

bool CFolderWalk::Leave(size_t& depth) {
    Level& level = *m_levels[depth];
    level.reader.Close();
    if (depth == 0)
        return false;
    m_path.resize(level.pathLength);
    m_guard.Up();
    --depth;
    return true;
}

void CFolderWalk::CloseDownTo(size_t depth) {
    for (size_t d = 0; d <= depth; ++d)
        m_levels[d]->reader.Close();
}

bool CFolderWalk::Sum(const std::wstring& folder, uint64_t& total) {
    if (!Open(folder))
        return false;
    Walk([&total](const FolderEntry& entry, const std::wstring&) { total += FileSize64(entry); });
    return true;
}
