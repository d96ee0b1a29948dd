#pragma once
// CHandle: the owner of one kernel handle (a file, a folder, a thread).
#include <windows.h>

// Closes its handle when it ends or takes another. Null and INVALID_HANDLE_VALUE, the two
// ways the system says "no handle", both mean none.
class CHandle {
  public:
    CHandle() = default;
    explicit CHandle(HANDLE handle) : m_handle(handle) {}
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    ~CHandle() { Close(); }

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }
    // Closes the handle held, if any, and holds handle instead.
    void Reset(HANDLE handle = nullptr) {
        Close();
        m_handle = handle;
    }
    // Closes the handle held, if any; false when the system reports that closing failed.
    bool Close() {
        const bool ok = !IsValid() || CloseHandle(m_handle);
        m_handle = nullptr;
        return ok;
    }

  private:
    HANDLE m_handle = nullptr;
};
