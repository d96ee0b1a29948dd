// The parallel size walk: the pool's workers, their tasks and the hand-over of folders.
#include "usage/ParallelWalk.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {
// Holds an SRW lock exclusively for its scope.
class CLockHold {
  public:
    explicit CLockHold(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    CLockHold(const CLockHold&) = delete;
    CLockHold& operator=(const CLockHold&) = delete;
    ~CLockHold() { ReleaseSRWLockExclusive(&m_lock); }

  private:
    SRWLOCK& m_lock;
};
} // namespace

// The walk of one worker; it offers the folders it meets to the pool, on behalf of the
// added folder whose part it walks.
class CParallelWalk::Worker : public CFolderSharer {
  public:
    explicit Worker(CParallelWalk& pool) : m_pool(pool), m_walk(pool.m_stop) {
        m_walk.SetMethod(pool.m_method);
        m_walk.SetSharer(this);
    }
    // False when the worker could not be given the folders above (out of memory).
    bool Prepare() {
        try {
            m_walk.SetAncestors(m_pool.m_above);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    // Walks what task names and gives its sum.
    uint64_t Run(Task& task) {
        uint64_t sum = 0;
        m_index = task.index;
        try {
            const bool opened = task.added
                                    ? m_walk.Open(task.folder)
                                    : m_walk.Resume(task.folder, task.volume, std::move(task.way));
            if (opened)
                m_walk.Walk([&sum](const FolderEntry& entry, const std::wstring&) {
                    sum += FileSize64(entry);
                });
        } catch (const std::bad_alloc&) {
            // Out of memory: what was counted stays.
        }
        return sum;
    }
    bool Wanted() override { return m_pool.Wanted(); }
    bool Share(const std::wstring& folder, const CLoopGuard& guard, size_t wayLength,
               uint64_t id) override {
        return m_pool.Share(folder, guard, wayLength, id, m_index);
    }

  private:
    CParallelWalk& m_pool;
    CFolderWalk m_walk;
    size_t m_index = 0;
};

int CParallelWalk::DefaultWorkers() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return std::min(8, std::max(2, static_cast<int>(info.dwNumberOfProcessors)));
}

void CParallelWalk::Start(CFolderReader::Method method, std::vector<FolderIdentity> above,
                          int count) {
    Finish();
    m_method = method;
    m_above = std::move(above);
    m_tasks.clear();
    m_totals.clear();
    m_idle = m_busy = 0;
    m_wanted = 0;
    m_closed = false;
    if (count <= 0)
        count = DefaultWorkers();
    m_threads.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        HANDLE thread = CreateThread(nullptr, 0, &CParallelWalk::WorkerProc, this, 0, nullptr);
        if (!thread)
            break;
        m_threads.push_back(thread);
    }
}

size_t CParallelWalk::Add(const std::wstring& folder) {
    Task task;
    task.folder = folder;
    CLockHold hold(m_lock);
    task.index = m_totals.size();
    m_totals.push_back(0);
    try {
        m_tasks.push_back(std::move(task));
    } catch (const std::bad_alloc&) {
        m_totals.pop_back();
        throw;
    }
    UpdateWanted();
    WakeConditionVariable(&m_changed);
    return m_totals.size() - 1;
}

void CParallelWalk::Finish() {
    bool wasOpen;
    {
        CLockHold hold(m_lock);
        wasOpen = !m_closed;
        m_closed = true;
    }
    WakeAllConditionVariable(&m_changed);
    if (m_threads.empty()) {
        // No worker could be started: the caller's thread does their work.
        if (wasOpen)
            Work();
        return;
    }
    WaitForMultipleObjects(static_cast<DWORD>(m_threads.size()), m_threads.data(), TRUE, INFINITE);
    for (HANDLE thread : m_threads)
        CloseHandle(thread);
    m_threads.clear();
}

uint64_t CParallelWalk::Total(size_t index) const {
    return index < m_totals.size() ? m_totals[index] : 0;
}

DWORD WINAPI CParallelWalk::WorkerProc(LPVOID param) {
    static_cast<CParallelWalk*>(param)->Work();
    return 0;
}

void CParallelWalk::Work() {
    Worker worker(*this);
    if (!worker.Prepare())
        return;
    Task task;
    uint64_t sum = 0;
    bool done = false;
    while (NextTask(task, done, sum)) {
        sum = worker.Run(task);
        done = true;
    }
}

bool CParallelWalk::NextTask(Task& task, bool done, uint64_t sum) {
    bool found = false;
    {
        CLockHold hold(m_lock);
        if (done) {
            m_totals[task.index] += sum;
            --m_busy;
        }
        for (;;) {
            if (m_stop.load())
                break;
            if (!m_tasks.empty()) {
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
                ++m_busy;
                found = true;
                break;
            }
            if (m_closed && m_busy == 0)
                break;
            ++m_idle;
            UpdateWanted();
            SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
            --m_idle;
        }
        UpdateWanted();
    }
    // The last task is done, or the walk stopped: the waiting workers end too.
    if (!found)
        WakeAllConditionVariable(&m_changed);
    return found;
}

bool CParallelWalk::Wanted() {
    if (m_shareEvery)
        return m_offers.fetch_add(1, std::memory_order_relaxed) % m_shareEvery == 0;
    return m_wanted.load(std::memory_order_relaxed) > 0;
}

bool CParallelWalk::Share(const std::wstring& folder, const CLoopGuard& guard, size_t wayLength,
                          uint64_t id, size_t index) {
    const std::vector<uint64_t>& way = guard.GetWay();
    const size_t length = std::min(wayLength, way.size());
    Task task;
    try {
        task.folder = folder;
        task.way.reserve(length + 1);
        task.way.assign(way.begin(), way.begin() + static_cast<std::ptrdiff_t>(length));
        task.way.push_back(id);
    } catch (const std::bad_alloc&) {
        return false;
    }
    task.index = index;
    task.added = false;
    task.volume = guard.GetVolume();
    {
        // Even when the waiting worker has found a task meanwhile: the walk that offered
        // the folder may not be able to go back to it.
        CLockHold hold(m_lock);
        try {
            m_tasks.push_back(std::move(task));
        } catch (const std::bad_alloc&) {
            return false;
        }
        UpdateWanted();
    }
    WakeConditionVariable(&m_changed);
    return true;
}

void CParallelWalk::UpdateWanted() {
    m_wanted.store(m_idle - static_cast<int>(m_tasks.size()), std::memory_order_relaxed);
}
