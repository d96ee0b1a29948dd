// CUsageDlg, folder scan section: the scan thread, the listing of the folder into the
// rows and the end of a scan.
#include <windows.h>

#include <mmsystem.h>

#include <exception>

#include "app/Messages.h"
#include "app/UsageDlg.h"
#include "classlib/SystemDll.h"
#include "res/resource.h"
#include "usage/FolderListing.h"

// ---- CUsageDlg: the scan ----

void CUsageDlg::StartScan() {
    SetWorking(true);
    const bool started = m_scanThread.Start([this] {
        RunScan();
        ::SendMessageW(m_hWnd, WM_SCAN_DONE, 0, 0);
    });
    if (!started) {
        // No thread to be had: scan here rather than leave the window busy for good.
        RunScan();
        OnScanDone(0, 0);
    }
}

void CUsageDlg::RunScan() {
    // Sleep(1) lasts a timer tick, up to 15.6 ms, unless the resolution is raised.
    const auto beginPeriod = SYSTEM_FUNCTION(L"winmm.dll", timeBeginPeriod);
    const auto endPeriod = SYSTEM_FUNCTION(L"winmm.dll", timeEndPeriod);
    const bool raised = beginPeriod && endPeriod && beginPeriod(1) == TIMERR_NOERROR;
    try {
        ScanFolder();
    } catch (const std::exception&) {
        // Out of memory: the rows written so far stay.
    }
    if (raised)
        endPeriod(1);
}

void CUsageDlg::ScanFolder() {
    ClearEntries();
    m_totalSize =
        ListFolder(m_currentPath, m_walk, m_scanThread.StopFlag(), m_entries, m_sortBuffer);
    if (m_scanThread.StopRequested())
        return;

    SetColumnTitle(2, "Anteil");
    SetColumnTitle(3, "Änderung");
    SetColumnTitle(4, "Attribute");
    FillFolderRows();
    m_totalSize = 0;
    m_list.SetSelectionMark(0);
    m_list.EnsureVisible(0, FALSE);
    UpdateCaption();
}

LRESULT CUsageDlg::OnScanDone(WPARAM, LPARAM) {
    SetWorking(false);
    // The rows are in the list now.
    std::vector<FolderRow>().swap(m_folderRows);
    m_rowsReady = 0;
    m_rowsShown = 0;
    return 0;
}
