// CUsageDlg, entry rows section: the records behind the rows and the row writers.
#include "app/Messages.h"
#include "app/ShareBar.h"
#include "app/UsageDlg.h"
#include "res/resource.h"
#include "usage/Format.h"

namespace {
// How often the rows that are ready go into the list while it is filled, and how long
// the main thread spends on them at most before it answers other messages again.
constexpr DWORD kRowFrameMs = 100;
constexpr DWORD kRowSliceMs = 20;
} // namespace

bool CUsageDlg::AddEntry(const UsageEntry& entry) {
    return m_entries.AddCopy(entry);
}

void CUsageDlg::ClearEntries() {
    m_entries.DeleteAll();
}

void CUsageDlg::SetCell(int row, int column, const CString& text, int image) {
    if (column == 0)
        m_list.InsertItem(row, text, image);
    else
        m_list.SetItem(row, column, text, image);
    m_list.EnsureVisible(row, FALSE);
}

void CUsageDlg::SetColumnTitle(int column, const CString& text) {
    if (column < 0 || column > 4)
        return;
    m_list.SetColumnHeading(column, text);
}

void CUsageDlg::FillFolderRows() {
    const int count = m_entries.GetSize();
    // The main thread empties the list and makes room for the rows; without a window
    // there is nothing to show.
    if (!::SendMessageW(m_hWnd, WM_SCAN_ROWS, kRowsBegin, count))
        return;
    DWORD frameStart = GetTickCount();
    for (int i = 0; i < count && !m_scanThread.StopRequested(); ++i) {
        const UsageEntry* entry = m_entries.GetEntry(i);
        FolderRow& row = m_folderRows[static_cast<size_t>(i)];
        row.image = entry->m_isFolder ? 0 : 1;
        row.cells[0] = entry->m_name;
        row.cells[1] = FormatSize(entry->m_size);
        row.cells[2] = FormatShare(entry->m_size, m_totalSize);
        row.share = ShareItemData(entry->m_size, m_totalSize, false);
        row.cells[3] = FormatEntryTime(entry->m_time);
        row.cells[4] = AttributeLetters(entry->m_attributes);
        m_rowsReady.store(i + 1, std::memory_order_release);
        // Under Wine a list view that takes its rows one by one scrolls and repaints after
        // each, at several milliseconds apiece; the rows go into the list a frame at a
        // time instead, and each frame is painted once.
        if (GetTickCount() - frameStart >= kRowFrameMs) {
            ::PostMessageW(m_hWnd, WM_SCAN_ROWS, kRowsShow, 0);
            frameStart = GetTickCount();
        }
        // The designed pause of 1 ms per row.
        Sleep(1);
    }
    // The rest, in slices, so that the window keeps answering in between; each slice is
    // painted before the next.
    while (!m_scanThread.StopRequested() && ::SendMessageW(m_hWnd, WM_SCAN_ROWS, kRowsShow, 0) > 0)
        ::UpdateWindow(m_list.m_hWnd);
}

LRESULT CUsageDlg::OnScanRows(WPARAM request, LPARAM count) {
    if (request != kRowsBegin)
        return ShowReadyRows();
    m_list.DeleteAllItems();
    m_rowsReady = 0;
    m_rowsShown = 0;
    m_folderRows.clear();
    m_folderRows.resize(static_cast<size_t>(count));
    return TRUE;
}

int CUsageDlg::ShowReadyRows() {
    const int ready = m_rowsReady.load(std::memory_order_acquire);
    if (m_rowsShown >= ready)
        return 0;
    const DWORD start = GetTickCount();
    m_list.SendMessage(WM_SETREDRAW, FALSE);
    do {
        const FolderRow& row = m_folderRows[static_cast<size_t>(m_rowsShown)];
        m_list.InsertItem(m_rowsShown, row.cells[0], row.image, row.share);
        for (int column = 1; column < 5; ++column)
            m_list.SetItem(m_rowsShown, column, row.cells[column], row.image);
        ++m_rowsShown;
    } while (m_rowsShown < ready && GetTickCount() - start < kRowSliceMs);
    // Redraw on repaints the whole list; the newest row is scrolled into view after it,
    // since the list does not scroll while redraw is off.
    m_list.SendMessage(WM_SETREDRAW, TRUE);
    m_list.EnsureVisible(m_rowsShown - 1, FALSE);
    return ready - m_rowsShown;
}

LRESULT CUsageDlg::OnListDeleteAll(NMHDR* header) {
    if (header->idFrom != IDC_LIST)
        return Default();
    // Nothing is kept per row; a notification for each of many thousand rows would keep
    // the window from answering.
    return TRUE;
}

void CUsageDlg::UpdateCaption() {
    SetWindowText(m_currentPath.IsEmpty() ? "Voldix" : m_currentPath);
}
