// CUsageDlg, navigation section: down into a folder, back up, to the drive list, select
// all; and the clipboard.
#include "usage/Navigation.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "app/UsageDlg.h"
#include "classlib/WinText.h"
#include "res/resource.h"
#include "usage/Format.h"

namespace {
// A global memory block, freed unless handed over.
class GlobalBlock {
  public:
    explicit GlobalBlock(SIZE_T bytes)
        : m_block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes)) {}
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    ~GlobalBlock() {
        if (m_block)
            GlobalFree(m_block);
    }
    HGLOBAL Get() const { return m_block; }
    HGLOBAL Release() {
        HGLOBAL block = m_block;
        m_block = nullptr;
        return block;
    }

  private:
    HGLOBAL m_block;
};

// The clipboard, open for as long as this lives.
class ClipboardOpen {
  public:
    explicit ClipboardOpen(HWND owner) : m_open(OpenClipboard(owner) != FALSE) {}
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;
    ~ClipboardOpen() {
        if (m_open)
            CloseClipboard();
    }
    bool IsOpen() const { return m_open; }

  private:
    bool m_open;
};
} // namespace

LRESULT CUsageDlg::OnListDblClk(NMHDR* header) {
    if (header->idFrom != IDC_LIST)
        return Default();
    const int item = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
    if (!m_ready || item < 0 || item >= m_entries.GetSize())
        return 0;
    const UsageEntry* entry = m_entries.GetEntry(item);
    if (!entry || !entry->m_isFolder)
        return 0;
    m_pathStack.Add(m_currentPath);
    ++m_depth;
    m_currentPath += entry->m_name;
    AppendBackslash(m_currentPath);
    StartScan();
    return 0;
}

void CUsageDlg::OnBack() {
    if (!m_ready || m_depth == 0)
        return;
    if (m_depth == 1) {
        ShowDriveList();
        return;
    }
    --m_depth;
    m_currentPath = m_pathStack[m_depth];
    m_pathStack.RemoveAt(m_depth);
    AppendBackslash(m_currentPath);
    StartScan();
}

void CUsageDlg::OnRestart() {
    // The button is disabled during a scan; a command that arrives anyway must not take
    // the records away from the scan thread.
    if (!m_ready)
        return;
    ShowDriveList();
}

LRESULT CUsageDlg::OnListKeyDown(NMHDR* header) {
    if (header->idFrom != IDC_LIST)
        return Default();
    if ((GetKeyState(VK_CONTROL) & 0x8000) && (GetKeyState('A') & 0x8000)) {
        const int count = m_list.GetItemCount();
        for (int row = 0; row < count; ++row)
            m_list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
    return 0;
}

bool CopyTextToClipboard(HWND owner, const CString& text) {
    const std::wstring wide = Widen(text);
    GlobalBlock block((wide.size() + 1) * sizeof(wchar_t));
    if (!block.Get())
        return false;
    void* memory = GlobalLock(block.Get());
    if (!memory)
        return false;
    std::memcpy(memory, wide.data(), wide.size() * sizeof(wchar_t));
    GlobalUnlock(block.Get());

    ClipboardOpen clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard())
        return false;
    if (!SetClipboardData(CF_UNICODETEXT, block.Get()))
        return false;
    block.Release(); // the clipboard owns it now
    return true;
}
