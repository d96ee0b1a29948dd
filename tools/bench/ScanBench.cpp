// The walk benchmark's console program: times the folder total of one tree with each way
// of reading folders, alone and by the pool of workers, and the size sort of 100,000
// records. Run by tools/benchmark.sh.
//   scan_bench FOLDER [ROUNDS [METHOD...]]
// prints one line per method: name, best seconds, total bytes; then, without methods
// named, the sort's line; last the process's peak working set in bytes.
#include <windows.h>

#include <psapi.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "usage/FolderWalk.h"
#include "usage/ParallelWalk.h"
#include "usage/UsageEntry.h"

namespace {
double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// The walk of the old program, for comparison: FindFirstFileW with the full information,
// a new pattern string per folder, recursion on the stack.
void PlainFindWalk(const std::wstring& folder, uint64_t& total) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        total += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        const bool dot = !wcscmp(data.cFileName, L".") || !wcscmp(data.cFileName, L"..");
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !dot &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            PlainFindWalk(folder + data.cFileName + L"\\", total);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// One way of summing the tree, timed by its best round.
struct Method {
    const char* name;
    std::function<void(uint64_t&)> walk;
    double best = 1e9;
    uint64_t total = 0;
};

// Runs the methods in turns, round after round, so that a slow moment of the machine
// does not fall on one method alone.
void TimeInTurns(std::vector<Method>& methods, int rounds) {
    for (int round = 0; round < rounds; ++round)
        for (Method& method : methods) {
            uint64_t sum = 0;
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            method.walk(sum);
            QueryPerformanceCounter(&end);
            const double seconds = Seconds(start, end);
            if (seconds < method.best)
                method.best = seconds;
            method.total = sum;
        }
    for (const Method& method : methods)
        std::printf("%s %.3f %llu\n", method.name, method.best,
                    static_cast<unsigned long long>(method.total));
    std::fflush(stdout);
}

// Sorts 100,000 records with sizes from a small range (many equal sizes) and checks the
// order; prints the time.
void TimeSort() {
    const int count = 100000;
    std::vector<UsageEntry> records(count);
    CEntryArray entries, work;
    uint32_t seed = 12345;
    // The time field carries the search order, for the check below.
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        records[i] = UsageEntry(CString(), false, (seed >> 8) % 5000, CTime(i), 0);
        entries.Add(&records[i]);
    }
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    entries.SortBySize(work);
    QueryPerformanceCounter(&end);
    bool ordered = entries.GetSize() == count;
    for (int i = 1; ordered && i < count; ++i) {
        const UsageEntry* a = entries.GetEntry(i - 1);
        const UsageEntry* b = entries.GetEntry(i);
        ordered = a->m_size > b->m_size ||
                  (a->m_size == b->m_size && a->m_time.GetTime() < b->m_time.GetTime());
    }
    std::printf("sort100000 %.1f ms %s\n", Seconds(start, end) * 1000.0,
                ordered ? "ordered" : "WRONG ORDER");
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: scan_bench FOLDER [ROUNDS]\n");
        return 2;
    }
    const CString folder(argv[1]);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    const std::wstring top = LongPath(folder);
    const std::atomic<bool> stop{false};
    CFolderWalk walk(stop);
    CParallelWalk pool(stop);
    bool parallel = false;

    std::vector<Method> all{
        {"handle-batches",
         [&](uint64_t& total) {
             walk.SetMethod(CFolderReader::kHandleBatches);
             walk.Sum(top, total);
         }},
        {"find-first-ex",
         [&](uint64_t& total) {
             walk.SetMethod(CFolderReader::kFindFile);
             walk.Sum(top, total);
         }},
        {"plain-find", [&](uint64_t& total) { PlainFindWalk(top, total); }},
        // The whole tree as one folder added: the workers share it folder by folder.
        {"parallel",
         [&](uint64_t& total) {
             parallel = true;
             pool.Start(CFolderReader::kHandleBatches, {});
             const size_t index = pool.Add(top);
             pool.Finish();
             total += pool.Total(index);
         }},
    };
    std::vector<Method> methods;
    for (int i = 3; i < argc; ++i)
        for (const Method& method : all)
            if (method.name == std::string(argv[i]))
                methods.push_back(method);
    if (argc <= 3)
        methods.assign(all.begin(), all.begin() + 3);
    TimeInTurns(methods, rounds);
    if (argc <= 3)
        TimeSort();
    if (parallel)
        std::printf("workers %d\n", CParallelWalk::DefaultWorkers());
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("peak-working-set %llu\n",
                static_cast<unsigned long long>(memory.PeakWorkingSetSize));
    return 0;
}
