// CUsageDlg, entry rows section: the records behind the rows and the row writers.
#include <new>

#include "app/UsageDlg.h"
#include "usage/Format.h"

bool CUsageDlg::AddEntry(const UsageEntry& entry) {
    UsageEntry* copy = new (std::nothrow) UsageEntry(entry);
    if (!copy)
        return false;
    m_entries.Add(copy);
    return true;
}

void CUsageDlg::ClearEntries() {
    for (int i = 0; i < m_entries.GetSize(); ++i)
        delete m_entries.GetEntry(i);
    m_entries.SetSize(0);
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
    m_list.DeleteAllItems();
    for (int i = 0; i < m_entries.GetSize() && !m_stopScan; ++i) {
        const UsageEntry* entry = m_entries.GetEntry(i);
        const int image = entry->m_isFolder ? 0 : 1;
        SetCell(i, 0, entry->m_name, image);
        SetCell(i, 1, FormatSize(entry->m_size), image);
        SetCell(i, 2, FormatShare(entry->m_size, m_totalSize), image);
        SetCell(i, 3, FormatEntryTime(entry->m_time), image);
        SetCell(i, 4, AttributeLetters(entry->m_attributes), image);
        Sleep(1);
    }
}

void CUsageDlg::UpdateCaption() {
    SetWindowText(m_currentPath.IsEmpty() ? "Voldix" : m_currentPath);
}
