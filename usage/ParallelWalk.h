#pragma once
// The parallel size walk: the totals of many folders, computed by a pool of worker
// threads that share the work folder by folder.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "usage/FolderWalk.h"

// Sums the folders added to it on a pool of worker threads, each walking depth first
// with a CFolderWalk of its own. While a worker waits for a task, a busy worker hands it
// the largest part of its walk that is left: a folder not yet met nearest the top of its
// walk. So one large folder keeps every worker busy, and the folders waiting for a worker
// are about one per waiting worker (beside those added): memory stays bounded by depth
// times workers, whatever the number of folders. Each worker adds its sum to the totals
// once per task, under the pool's lock; nothing is locked per entry. Every worker ends
// its walk at the next entry once stop is set.
class CParallelWalk {
  public:
    explicit CParallelWalk(const std::atomic<bool>& stop) : m_stop(stop) {}
    CParallelWalk(const CParallelWalk&) = delete;
    CParallelWalk& operator=(const CParallelWalk&) = delete;
    // Waits for the workers as Finish does.
    ~CParallelWalk() { Finish(); }

    // As many workers as the machine has logical processors, at least 2, at most 8.
    static int DefaultWorkers();
    // Starts the workers (DefaultWorkers when count is 0) for a walk reading folders by
    // method, never entering a folder of above again (CFolderWalk::GetAncestors). Ends
    // the previous run first. With no thread to be had, Finish walks on its caller's.
    void Start(CFolderReader::Method method, std::vector<FolderIdentity> above, int count = 0);
    // Queues the total of everything below folder (LongPath form), as CFolderWalk::Sum
    // gives it, and returns its index for Total: 0 for the first folder added after
    // Start, then 1, 2 and so on. May throw std::bad_alloc.
    size_t Add(const std::wstring& folder);
    // Waits until every folder added is summed (or the walk was stopped) and every worker
    // has ended; closes the threads' handles.
    void Finish();
    // The total of the folder Add gave index; complete once Finish has returned, unless the
    // walk was stopped. 0 for a folder that cannot be searched.
    uint64_t Total(size_t index) const;
    // The workers of the present run.
    int Workers() const { return static_cast<int>(m_threads.size()); }
    // For tests: wants every n-th folder offered, waiting worker or not (0: only while a
    // worker waits; 1: every folder, and the queue grows with the folders met).
    void ShareEvery(unsigned n) { m_shareEvery = n; }

  private:
    // A folder waiting for a worker: one added, or one handed over with its guard's state.
    struct Task {
        std::wstring folder;
        size_t index = 0;
        bool added = true;
        DWORD volume = 0;
        std::vector<uint64_t> way;
    };

    class Worker;

    static DWORD WINAPI WorkerProc(LPVOID param);
    // One worker's loop: takes tasks until none is left; runs on each worker's thread.
    void Work();
    // Adds sum to the total of the task a worker has done (when done), then waits for the
    // next task; false when there is none left or the walk was stopped.
    bool NextTask(Task& task, bool done, uint64_t sum);
    // Whether a worker waits for a task that is not queued yet.
    bool Wanted();
    // Queues a folder met below the added folder index (as CFolderSharer::Share).
    bool Share(const std::wstring& folder, const CLoopGuard& guard, size_t wayLength, uint64_t id,
               size_t index);
    // Recomputes m_wanted; under the lock.
    void UpdateWanted();

    const std::atomic<bool>& m_stop;
    CFolderReader::Method m_method = CFolderReader::kHandleBatches;
    std::vector<FolderIdentity> m_above;
    std::vector<HANDLE> m_threads;
    unsigned m_shareEvery = 0;
    std::atomic<unsigned> m_offers{0};
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    // Under m_lock:
    std::deque<Task> m_tasks;
    std::vector<uint64_t> m_totals;
    int m_idle = 0;       // workers waiting for a task
    int m_busy = 0;       // workers walking a task
    bool m_closed = true; // no folder is added any more
    // Idle workers minus waiting tasks: read without the lock, as the hint to share.
    std::atomic<int> m_wanted{0};
};
