// The walk benchmark's console program: times the folder total of one tree with each way
// of reading folders, and the size sort of 100,000 records. Run by tools/benchmark.sh.
//   scan_bench FOLDER [ROUNDS]
// prints one line per method: name, best seconds, total bytes, folders entered.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/UsageDlg.h"
#include "classlib/WinText.h"

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

template <class Walk> void Time(const char* name, int rounds, Walk walk) {
    double best = 1e9;
    uint64_t total = 0;
    for (int round = 0; round < rounds; ++round) {
        uint64_t sum = 0;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        walk(sum);
        QueryPerformanceCounter(&end);
        const double seconds = Seconds(start, end);
        if (seconds < best)
            best = seconds;
        total = sum;
    }
    std::printf("%s %.3f %llu\n", name, best, static_cast<unsigned long long>(total));
    std::fflush(stdout);
}

// Sorts 100,000 records with sizes from a small range (many equal sizes) and checks the
// order; prints the time.
void TimeSort(CUsageDlg& dialog) {
    const int count = 100000;
    uint32_t seed = 12345;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        dialog.AddEntry(UsageEntry(CString(), false, (seed >> 8) % 5000, CTime(i), 0));
        // The time field carries the search order, for the check below.
    }
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    dialog.SortEntriesBySize();
    QueryPerformanceCounter(&end);
    bool ordered = dialog.m_entries.GetSize() == count;
    for (int i = 1; ordered && i < count; ++i) {
        const UsageEntry* a = dialog.m_entries.GetEntry(i - 1);
        const UsageEntry* b = dialog.m_entries.GetEntry(i);
        ordered = a->m_size > b->m_size ||
                  (a->m_size == b->m_size && a->m_time.GetTime() < b->m_time.GetTime());
    }
    std::printf("sort100000 %.1f ms %s\n", Seconds(start, end) * 1000.0,
                ordered ? "ordered" : "WRONG ORDER");
    dialog.ClearEntries();
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: scan_bench FOLDER [ROUNDS]\n");
        return 2;
    }
    const CString folder(argv[1]);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    CUsageDlg dialog;

    Time("handle-batches", rounds, [&](uint64_t& total) {
        dialog.m_walk.SetMethod(CFolderReader::kHandleBatches);
        dialog.FolderSize(folder, total);
    });
    Time("find-first-ex", rounds, [&](uint64_t& total) {
        dialog.m_walk.SetMethod(CFolderReader::kFindFile);
        dialog.FolderSize(folder, total);
    });
    Time("plain-find", rounds, [&](uint64_t& total) { PlainFindWalk(LongPath(folder), total); });
    dialog.m_walk.SetMethod(CFolderReader::kHandleBatches);
    TimeSort(dialog);
    return 0;
}
