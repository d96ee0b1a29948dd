// The walk and the size sort on fixture trees with known sizes, without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/WinText.h"
#include "support/FixtureTree.h"
#include "support/ScratchFolder.h"
#include "usage/FolderListing.h"
#include "usage/Format.h"

namespace {
constexpr uint64_t kGiB = 1024ull * 1024 * 1024;

struct Record {
    std::string name;
    uint64_t size;
    bool isFolder;
    uint32_t attributes;
    int64_t time;
};

const Record* Find(const std::vector<Record>& records, const std::string& name) {
    for (const Record& r : records)
        if (r.name == name)
            return &r;
    return nullptr;
}

// Each test works in a scratch folder of its own on P:.
class FolderScanTest : public ::testing::Test {
  protected:
    CString Path(const char* relative) const { return m_folder.Path(relative); }
    bool Sum(const CString& folder, uint64_t& total) { return m_walk.Sum(LongPath(folder), total); }
    uint64_t Total(const CString& folder, CFolderReader::Method method) {
        m_walk.SetMethod(method);
        uint64_t total = 0;
        Sum(folder, total);
        m_walk.SetMethod(CFolderReader::kHandleBatches);
        return total;
    }
    // Lists a folder the way the scan thread does.
    std::vector<Record> Scan(const CString& folder) {
        CEntryArray entries, sortBuffer;
        m_total = ListFolder(folder, m_walk, m_stop, entries, sortBuffer);
        EXPECT_EQ(sortBuffer.GetSize(), 0);
        std::vector<Record> records;
        for (int i = 0; i < entries.GetSize(); ++i) {
            const UsageEntry* e = entries.GetEntry(i);
            records.push_back(
                {e->m_name.str(), e->m_size, e->m_isFolder, e->m_attributes, e->m_time.GetTime()});
        }
        entries.DeleteAll();
        return records;
    }

    ScratchFolder m_folder;
    const CString m_root = m_folder.Path();
    std::atomic<bool> m_stop{false};
    CFolderWalk m_walk{m_stop};
    uint64_t m_total = 0;
};
} // namespace

TEST_F(FolderScanTest, NestedFoldersEmptyFolderAndMissingFolder) {
    ASSERT_TRUE(MakeFile(Path("a.dat"), 100));
    ASSERT_TRUE(MakeFile(Path("sub\\b.dat"), 200));
    ASSERT_TRUE(MakeFile(Path("sub\\deeper\\c.dat"), 300));
    ASSERT_TRUE(MakeFile(Path("sub\\deeper\\zero.dat"), 0));
    ASSERT_TRUE(MakeFolder(Path("sub\\deeper\\emptier")));
    ASSERT_TRUE(MakeFolder(Path("empty")));

    for (auto method : {CFolderReader::kHandleBatches, CFolderReader::kFindFile}) {
        SCOPED_TRACE(method);
        EXPECT_EQ(Total(m_root, method), 600u);
        EXPECT_EQ(Total(Path("sub"), method), 500u); // no trailing backslash
        EXPECT_EQ(Total(Path("empty\\"), method), 0u);
    }
    uint64_t total = 1000;
    EXPECT_TRUE(Sum(Path("sub\\"), total));
    EXPECT_EQ(total, 1500u); // adds to what is there
    total = 7;
    EXPECT_TRUE(Sum(Path("empty\\"), total));
    EXPECT_EQ(total, 7u);
    EXPECT_FALSE(Sum(Path("missing\\"), total));
    EXPECT_FALSE(Sum("", total));
    EXPECT_EQ(total, 7u);

    // A last-write time apart from the creation time, which the list must not show.
    ASSERT_TRUE(MakeOld(Path("a.dat"), false));
    m_walk.SetMethod(CFolderReader::kFindFile);
    EXPECT_EQ(Scan(m_root).at(1).time, 981173106); // by the plain search
    m_walk.SetMethod(CFolderReader::kHandleBatches);
    const auto records = Scan(m_root);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, "sub");
    EXPECT_EQ(records[0].size, 500u);
    EXPECT_TRUE(records[0].isFolder);
    EXPECT_TRUE(records[0].attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(records[1].name, "a.dat");
    EXPECT_EQ(records[1].size, 100u);
    EXPECT_FALSE(records[1].isFolder);
    EXPECT_EQ(records[2].name, "empty");
    EXPECT_EQ(records[2].size, 0u);
    EXPECT_TRUE(records[2].isFolder);

    // The time is the entry's last write, in seconds since 1970.
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(Wide(Path("a.dat")).c_str(), GetFileExInfoStandard, &data));
    const uint64_t written = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime;
    EXPECT_EQ(records[1].time, static_cast<int64_t>(written / 10000000 - 11644473600ull));
    EXPECT_EQ(records[1].attributes, data.dwFileAttributes);
    EXPECT_EQ(m_total, 600u);

    // An empty folder and one that is gone both give no records.
    EXPECT_TRUE(Scan(Path("empty\\")).empty());
    EXPECT_TRUE(Scan(Path("missing\\")).empty());
}

TEST_F(FolderScanTest, EqualSizesKeepTheSearchOrder) {
    for (const char* name : {"k.dat", "c.dat", "x.dat", "a.dat", "m.dat"})
        ASSERT_TRUE(MakeFile(Path(name), 50));
    ASSERT_TRUE(MakeFile(Path("folder\\inside.dat"), 50));
    ASSERT_TRUE(MakeFile(Path("big.dat"), 80));
    ASSERT_TRUE(MakeFile(Path("none.dat"), 0));

    std::vector<std::string> expected{"big.dat"};
    for (const std::string& name : FolderNames(m_root))
        if (name != "big.dat" && name != "none.dat")
            expected.push_back(name);
    expected.push_back("none.dat");
    ASSERT_EQ(expected.size(), 8u);

    std::vector<std::string> names;
    for (const Record& r : Scan(m_root))
        names.push_back(r.name);
    EXPECT_EQ(names, expected);
}

TEST_F(FolderScanTest, FileBeyondFourGiB) {
    const uint64_t big = 5 * kGiB + 123;
    ASSERT_TRUE(MakeSparseFile(Path("folder\\big.dat"), big));
    ASSERT_TRUE(MakeFile(Path("folder\\small.dat"), 10));
    ASSERT_TRUE(MakeSparseFile(Path("top.dat"), 4 * kGiB + 1));

    EXPECT_EQ(Total(m_root, CFolderReader::kHandleBatches), 9 * kGiB + 134);
    EXPECT_EQ(Total(m_root, CFolderReader::kFindFile), 9 * kGiB + 134);
    const auto records = Scan(m_root);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "folder");
    EXPECT_EQ(records[0].size, big + 10);
    EXPECT_EQ(records[1].name, "top.dat");
    EXPECT_EQ(records[1].size, 4 * kGiB + 1);
}

TEST_F(FolderScanTest, NamesOutsideAnyCodePage) {
    const CString folder = Path("Ωμέγα 日本 😀\\");
    ASSERT_TRUE(MakeFile(folder + "ß€ – č.txt", 77));
    ASSERT_TRUE(MakeFile(folder + "Жёлтый\\ü.dat", 23));

    EXPECT_EQ(Total(m_root, CFolderReader::kHandleBatches), 100u);
    EXPECT_EQ(Total(folder, CFolderReader::kHandleBatches), 100u);
    EXPECT_EQ(Total(folder, CFolderReader::kFindFile), 100u);

    auto records = Scan(m_root);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, "Ωμέγα 日本 😀");
    EXPECT_EQ(records[0].size, 100u);

    records = Scan(folder);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "ß€ – č.txt");
    EXPECT_EQ(records[1].name, "Жёлтый");
}

TEST_F(FolderScanTest, PathsLongerThan260CharactersAndDeepTrees) {
    // 40 levels: beyond 260 characters and deeper than the levels with large buffers.
    CString deep = m_root;
    for (int i = 0; i < 40; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "level_%02d_%c%c%c%c\\", i, 'a' + i % 26, 'a' + i % 26,
                      'a' + i % 26, 'a' + i % 26);
        deep += name;
        if (i == 20) {
            ASSERT_TRUE(MakeFile(deep + "middle.dat", 5));
        }
    }
    ASSERT_GT(deep.GetLength(), 500);
    ASSERT_TRUE(MakeFile(deep + "bottom.dat", 1234));
    ASSERT_TRUE(MakeFile(deep + "second.dat", 61));

    EXPECT_EQ(Total(m_root, CFolderReader::kHandleBatches), 1300u);
    EXPECT_EQ(Total(m_root, CFolderReader::kFindFile), 1300u);
    EXPECT_EQ(Total(deep, CFolderReader::kHandleBatches), 1295u);

    auto records = Scan(m_root);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].size, 1300u);
    records = Scan(deep);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "bottom.dat");
    EXPECT_EQ(records[0].size, 1234u);
}

TEST_F(FolderScanTest, FoldersLargerThanOneReadOfTheirEntries) {
    // A flat folder of thousands of entries: several reads of 64 KiB each.
    const int flatCount = 2500;
    uint64_t flatTotal = 0;
    char name[96];
    for (int i = 0; i < flatCount; ++i) {
        std::snprintf(name, sizeof(name), "flach\\eintrag_mit_langem_namen_%04d.dat", i);
        ASSERT_TRUE(MakeFile(Path(name), static_cast<uint64_t>(i % 13)));
        flatTotal += i % 13;
    }
    // A wide folder below a chain deeper than the levels with large buffers: several reads
    // of the small buffers there.
    CString deep = Path("kette\\");
    for (int level = 0; level < 36; ++level) {
        std::snprintf(name, sizeof(name), "s%02d\\", level);
        deep += name;
    }
    const int wideCount = 300;
    for (int i = 0; i < wideCount; ++i) {
        std::snprintf(name, sizeof(name), "breit_%03d.dat", i);
        ASSERT_TRUE(MakeFile(deep + name, 3));
    }

    for (auto method : {CFolderReader::kHandleBatches, CFolderReader::kFindFile}) {
        SCOPED_TRACE(method);
        EXPECT_EQ(Total(m_root, method), flatTotal + 3 * wideCount);
        EXPECT_EQ(Total(Path("kette"), method), 3u * wideCount);
    }
    auto records = Scan(m_root);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "flach");
    EXPECT_EQ(records[0].size, flatTotal);
    EXPECT_EQ(records[1].name, "kette");
    EXPECT_EQ(records[1].size, 3u * wideCount);

    records = Scan(Path("flach\\"));
    ASSERT_EQ(records.size(), static_cast<size_t>(flatCount));
    std::vector<std::string> names;
    for (const Record& r : records)
        names.push_back(r.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
    EXPECT_EQ(Scan(deep).size(), static_cast<size_t>(wideCount));
}

TEST_F(FolderScanTest, LinksAreCountedWithTheirOwnSizeAndNotEntered) {
    ASSERT_TRUE(MakeFile(Path("a\\f.dat"), 100));
    ASSERT_TRUE(MakeFile(Path("a\\b\\g.dat"), 50));
    ASSERT_TRUE(MakeFile(Path("c\\h.dat"), 1000));
    ASSERT_TRUE(MakeUnixSymlink(Path("a\\b\\up"), ".."));
    ASSERT_TRUE(MakeUnixSymlink(Path("a\\b\\top"), "../.."));
    // A link to a folder beside, like a compatibility junction: its data is counted once.
    ASSERT_TRUE(MakeUnixSymlink(Path("a\\b\\side"), "../../c"));
    // Wine shows a symbolic link to a folder as a reparse point, as Windows a junction.
    for (const char* link : {"a\\b\\up", "a\\b\\top", "a\\b\\side"}) {
        const DWORD attributes = GetFileAttributesW(Wide(Path(link)).c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << link;
        ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << link;
        ASSERT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << link;
    }

    EXPECT_EQ(Total(m_root, CFolderReader::kHandleBatches), 1150u);
    EXPECT_EQ(Total(m_root, CFolderReader::kFindFile), 1150u);
    EXPECT_EQ(Total(Path("a\\b\\"), CFolderReader::kHandleBatches), 50u);
    EXPECT_EQ(Total(Path("a\\b\\up\\"), CFolderReader::kHandleBatches), 150u);

    const auto records = Scan(Path("a\\b\\"));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].name, "g.dat");
    for (const char* link : {"up", "top", "side"}) {
        const Record* r = Find(records, link);
        ASSERT_NE(r, nullptr) << link;
        EXPECT_EQ(r->size, 0u);
        EXPECT_TRUE(r->isFolder);
        EXPECT_EQ(AttributeLetters(r->attributes), "--D-----L---");
    }
}

TEST_F(FolderScanTest, FolderLoopThatIsNoReparsePointIsNotEnteredAgain) {
    ASSERT_TRUE(MakeFile(Path("a\\f.dat"), 100));
    ASSERT_TRUE(MakeFile(Path("a\\b\\g.dat"), 50));
    ASSERT_TRUE(MakeFolder(Path("a\\b\\loop")));
    // A bind mount of a folder below itself: a plain folder to Wine, but a loop.
    if (!BindMount(Path("a"), Path("a\\b\\loop")))
        GTEST_SKIP() << "bind mounts are not allowed here";
    struct Unmounter {
        CString target;
        ~Unmounter() { Unmount(target); }
    } unmounter{Path("a\\b\\loop")};
    const DWORD attributes = GetFileAttributesW(Wide(Path("a\\b\\loop")).c_str());
    ASSERT_FALSE(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    ASSERT_NE(GetFileAttributesW(Wide(Path("a\\b\\loop\\f.dat")).c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(Total(m_root, CFolderReader::kHandleBatches), 150u);
    EXPECT_EQ(Total(Path("a\\b\\loop\\"), CFolderReader::kHandleBatches), 150u);

    // The loop leads back to a folder above: shown with its own size only.
    auto records = Scan(Path("a\\b\\"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "g.dat");
    EXPECT_EQ(records[1].name, "loop");
    EXPECT_EQ(records[1].size, 0u);
    // Seen through the loop, b is a folder above the one shown.
    records = Scan(Path("a\\b\\loop\\"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "f.dat");
    EXPECT_EQ(records[1].name, "b");
    EXPECT_EQ(records[1].size, 0u);
}

TEST_F(FolderScanTest, FolderThatCannotBeSearched) {
    ASSERT_TRUE(MakeFile(Path("ok.dat"), 300));
    ASSERT_TRUE(MakeFile(Path("locked\\inner.dat"), 500));
    // A folder held open without sharing cannot be listed by anyone else (as root, Unix
    // permissions would not stop Wine).
    HANDLE held = CreateFileW(Wide(Path("locked")).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((Wide(Path("locked\\")) + L"*").c_str(), &data);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    uint64_t total = 5;
    EXPECT_FALSE(Sum(Path("locked\\"), total));
    EXPECT_EQ(total, 5u);
    EXPECT_EQ(Total(m_root, CFolderReader::kHandleBatches), 300u);
    EXPECT_EQ(Total(m_root, CFolderReader::kFindFile), 300u);
    auto records = Scan(m_root);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "ok.dat");
    EXPECT_EQ(records[1].name, "locked");
    EXPECT_EQ(records[1].size, 0u);
    EXPECT_TRUE(records[1].isFolder);
    EXPECT_TRUE(Scan(Path("locked\\")).empty());
    CloseHandle(held);
    EXPECT_EQ(Total(m_root, CFolderReader::kHandleBatches), 800u);
}

TEST_F(FolderScanTest, StopRequestEndsTheWalkAtOnce) {
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(MakeFile(Path("sub\\f") + CString(std::to_string(i)) + ".dat", 10));
    m_stop = true;
    EXPECT_EQ(Total(m_root, CFolderReader::kHandleBatches), 0u);
    EXPECT_TRUE(Scan(m_root).empty());
    m_stop = false;
    EXPECT_EQ(Total(m_root, CFolderReader::kHandleBatches), 200u);
}

TEST(FolderReader, ThePlainSearchGivesTheLastWriteTime) {
    WIN32_FIND_DATAW data{};
    data.ftCreationTime = {1, 0};
    data.ftLastAccessTime = {2, 0};
    data.ftLastWriteTime = {3, 4};
    data.nFileSizeHigh = 5;
    data.nFileSizeLow = 6;
    FolderEntry entry;
    EntryFromFindData(data, entry);
    EXPECT_EQ(entry.lastWrite, (4ull << 32) | 3);
    EXPECT_EQ(entry.size, (5ull << 32) | 6);
}

TEST(LoopGuard, FoldersAboveOrOnTheWayDownAreNotEnteredAgain) {
    CLoopGuard guard;
    guard.SetAbove({{7, 1}, {7, 2}}); // the volume's root and the listed folder
    EXPECT_TRUE(guard.IsAbove(1) && guard.IsAbove(2));
    EXPECT_FALSE(guard.IsAbove(3) || guard.IsAbove(0));
    guard.Begin({7, 3});
    guard.Down(4);
    for (uint64_t id : {1, 2, 3, 4})
        EXPECT_TRUE(guard.WouldLoop(id)) << id;
    EXPECT_FALSE(guard.WouldLoop(5) || guard.WouldLoop(0));
    // Once left, a folder may be met again beside it; ids count on their volume only.
    guard.Up();
    EXPECT_FALSE(guard.WouldLoop(4));
    guard.Begin({8, 3});
    EXPECT_FALSE(guard.WouldLoop(1));
    EXPECT_TRUE(guard.WouldLoop(3));
}

TEST(SizeSort, LargestFirstAndEqualSizesInTheirOrder) {
    CEntryArray entries, work;
    entries.SortBySize(work); // nothing to sort
    EXPECT_EQ(entries.GetSize(), 0);

    const int count = 20000;
    uint32_t seed = 7;
    std::vector<const CObject*> added;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        // Few distinct sizes, so that most records have equals; the time holds the order.
        const uint64_t size = (seed >> 16) % 40 + ((i % 1000 == 0) ? 5 * kGiB : 0);
        ASSERT_TRUE(entries.AddCopy(UsageEntry("e", i % 2 == 0, size, CTime(i), 0)));
        added.push_back(entries.GetAt(i));
    }
    entries.SortBySize(work);
    ASSERT_EQ(entries.GetSize(), count);
    EXPECT_EQ(work.GetSize(), 0);
    std::vector<const CObject*> sorted;
    for (int i = 0; i < count; ++i) {
        sorted.push_back(entries.GetAt(i));
        if (i == 0)
            continue;
        const UsageEntry* a = entries.GetEntry(i - 1);
        const UsageEntry* b = entries.GetEntry(i);
        ASSERT_TRUE(a->m_size > b->m_size ||
                    (a->m_size == b->m_size && a->m_time.GetTime() < b->m_time.GetTime()))
            << "at " << i;
    }
    // The same records, each once.
    std::sort(added.begin(), added.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(added, sorted);
    entries.DeleteAll();
}
