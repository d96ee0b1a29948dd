// The pool of the parallel size walk on fixture trees: the totals of the walk alone, with
// one worker or many, a stop that ends every worker, and nothing left after a run.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <atomic>
#include <utility>
#include <vector>

#include "support/FixtureTree.h"
#include "support/ScratchFolder.h"
#include "support/WindowDriver.h"
#include "usage/ParallelWalk.h"

namespace {
// The threads and handles of this process. Wine's GetProcessHandleCount gives 0: each
// possible handle value is asked instead.
std::pair<int, DWORD> ThreadsAndHandles() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread{};
    thread.dwSize = sizeof(thread);
    std::pair<int, DWORD> count{0, 0};
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        count.first += thread.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4)
        count.second += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != FALSE;
    return count;
}

class ParallelWalkTest : public ::testing::Test {
  protected:
    // The totals of the sub-folders that a scan of folder enters, in search order: by the
    // walk alone (workers 0) or by the pool, handing over every every-th folder offered.
    std::vector<uint64_t> Totals(const CString& folder, int workers, unsigned every = 0,
                                 CFolderReader::Method method = CFolderReader::kHandleBatches) {
        const std::wstring top = LongPath(folder);
        CFolderWalk walk(m_stop);
        walk.SetMethod(method);
        walk.SetAncestors(top);
        CParallelWalk pool(m_stop);
        pool.ShareEvery(every);
        if (workers)
            pool.Start(method, walk.GetAncestors(), workers);
        std::vector<uint64_t> totals;
        CFolderReader reader;
        FolderEntry entry;
        for (bool open = reader.Open(top); open && reader.Next(entry);) {
            if (!walk.MayEnter(entry))
                continue;
            const std::wstring sub = top + std::wstring(entry.name, entry.nameLength) + L'\\';
            totals.push_back(0);
            if (workers)
                EXPECT_EQ(pool.Add(sub), totals.size() - 1);
            else
                walk.Sum(sub, totals.back());
        }
        pool.Finish();
        for (size_t i = 0; workers && i < totals.size(); ++i)
            totals[i] = pool.Total(i);
        return totals;
    }

    ScratchFolder m_folder;
    std::atomic<bool> m_stop{false};
};
} // namespace

TEST_F(ParallelWalkTest, SameTotalsAsTheWalkAloneOnEveryFixture) {
    const std::pair<const char*, uint64_t> files[] = {
        {"links\\a\\f.dat", 100},   {"links\\a\\b\\g.dat", 50}, {"big\\small.dat", 10},
        {"locked\\inner.dat", 500}, {"loop\\a\\f.dat", 7},      {"loop\\a\\b\\g.dat", 11}};
    for (const auto& file : files)
        ASSERT_TRUE(MakeFile(m_folder.Path(file.first), file.second));
    ASSERT_TRUE(MakeUnixSymlink(m_folder.Path("links\\a\\b\\up"), ".."));
    ASSERT_TRUE(MakeSparseFile(m_folder.Path("big\\in\\big.dat"), 5 * 1024ull * 1024 * 1024 + 3));
    ASSERT_TRUE(MakeFolder(m_folder.Path("empty\\emptier")));
    CString deep = m_folder.Path("deep\\"), middle;
    for (int level = 0; level < 30; ++level) {
        deep += CString("level_with_a_long_name_") + CString(std::to_string(level)) + "\\";
        ASSERT_TRUE(MakeFile(deep + "f.dat", static_cast<uint64_t>(level)));
        if (level == 10)
            middle = deep;
    }
    ASSERT_GT(middle.GetLength(), 300);
    ASSERT_TRUE(MakeFolder(m_folder.Path("loop\\a\\b\\c\\loop")));
    // A bind mount of a folder below itself: a loop that only the folders' ids show.
    const bool mounted = BindMount(m_folder.Path("loop\\a"), m_folder.Path("loop\\a\\b\\c\\loop"));
    HANDLE held = CreateFileW(Wide(m_folder.Path("locked")).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    EXPECT_NE(held, INVALID_HANDLE_VALUE);

    EXPECT_EQ(Totals(m_folder.Path(), 0).size(), 6u);
    for (const CString& folder : {m_folder.Path(), m_folder.Path("loop\\a\\"), middle}) {
        SCOPED_TRACE(folder.str());
        const std::vector<uint64_t> expected = Totals(folder, 0);
        // Eight workers, and one that keeps every folder or hands over in every pattern here.
        EXPECT_EQ(Totals(folder, 8), expected);
        for (unsigned every = 0; every <= 7; ++every)
            EXPECT_EQ(Totals(folder, 1, every), expected) << every;
        EXPECT_EQ(Totals(folder, 3, 2, CFolderReader::kFindFile),
                  Totals(folder, 0, 0, CFolderReader::kFindFile));
    }
    CloseHandle(held);
    EXPECT_TRUE(mounted && Unmount(m_folder.Path("loop\\a\\b\\c\\loop")))
        << "no bind mount (the loop was not tested), or no unmount";
}

TEST_F(ParallelWalkTest, StopEndsEveryWorkerAndNoThreadOrHandleIsLeft) {
    for (int folder = 0; folder < 8; ++folder)
        for (int sub = 0; sub < 20; ++sub)
            ASSERT_TRUE(MakeFile(m_folder.Path("t") + CString(std::to_string(folder)) + "\\s" +
                                     CString(std::to_string(sub)) + "\\f.dat",
                                 1));
    const std::pair<int, DWORD> before = ThreadsAndHandles();
    ASSERT_GT(before.second, 0u);

    EXPECT_EQ(Totals(m_folder.Path(), 8), std::vector<uint64_t>(8, 20));
    m_stop = true;
    EXPECT_EQ(Totals(m_folder.Path(), 4, 1), std::vector<uint64_t>(8, 0));
    {
        // Stopped while the workers walk: Finish returns once each has seen the flag.
        m_stop = false;
        CParallelWalk pool(m_stop);
        pool.ShareEvery(1);
        pool.Start(CFolderReader::kHandleBatches, {}, 8);
        EXPECT_EQ(pool.Workers(), 8);
        pool.Add(LongPath(m_folder.Path()));
        m_stop = true;
        pool.Finish();
        EXPECT_EQ(pool.Workers(), 0);
    }
    std::pair<int, DWORD> after;
    EXPECT_TRUE(WaitFor([&] { return (after = ThreadsAndHandles()) == before; }))
        << after.first << " threads and " << after.second << " handles, before " << before.first
        << " and " << before.second;
}
