// CUsageDlg, navigation section: down into a folder, back up, to the drive list, select
// all.
#include <windows.h>

#include <commctrl.h>

#include "app/UsageDlg.h"
#include "classlib/WinText.h"
#include "res/resource.h"
#include "usage/Format.h"

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
