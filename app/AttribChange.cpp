// CUsageDlg, read-only change section: the question, the worker thread, its end and its
// stop on close.
#include <exception>

#include "app/Messages.h"
#include "app/UsageDlg.h"
#include "dialogs/ConfirmDlg.h"
#include "dialogs/ErrorMsgDlg.h"
#include "res/resource.h"

// ---- CUsageDlg: the change ----

void CUsageDlg::StartAttribChange(AttribMode mode) {
    if (!m_ready || m_list.GetNextItem(-1, LVNI_SELECTED) < 0)
        return;
    CConfirmDlg confirm(this);
    confirm.SetText(ReadOnlyQuestion(mode));
    m_attribDialog = &confirm;
    const INT_PTR answer = confirm.DoModal();
    m_attribDialog = nullptr;
    if (answer != IDOK || !m_ready)
        return;

    // The roots are the rows selected when the user answered, taken from their records,
    // whatever the rows show and whatever happens to the list meanwhile.
    m_attribRoots.RemoveAll();
    for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = m_list.GetNextItem(row, LVNI_SELECTED)) {
        if (row < m_entries.GetSize())
            m_attribRoots.Add(m_currentPath + m_entries.GetEntry(row)->m_name);
    }
    if (m_attribRoots.IsEmpty())
        return;

    // Written only while no change runs; the thread reads it.
    m_attribMode = mode;
    SetWorking(true);
    const bool started = m_attribThread.Start([this, mode] {
        const bool ok = RunAttribChange();
        ::SendMessageW(m_hWnd, WM_ATTRIB_DONE, mode, ok ? 0 : 1);
    });
    if (!started) {
        // No thread to be had: change here rather than leave the window busy for good.
        const bool ok = RunAttribChange();
        OnAttribDone(mode, ok ? 0 : 1);
    }
}

bool CUsageDlg::RunAttribChange() {
    try {
        return ChangeSelection(m_attribMode);
    } catch (...) {
        // Out of memory or the like: the report still comes, and the window unlocks.
        return false;
    }
}

bool CUsageDlg::ChangeSelection(AttribMode mode) {
    bool ok = true;
    for (int i = 0; i < m_attribRoots.GetSize() && !m_attribThread.StopRequested(); ++i) {
        if (!m_attribWalk.ChangeEntry(m_attribRoots[i], mode))
            ok = false;
        if (!m_attribThread.StopRequested() && !m_attribWalk.ChangeTree(m_attribRoots[i], mode))
            ok = false;
    }
    return ok;
}

LRESULT CUsageDlg::OnAttribDone(WPARAM wParam, LPARAM lParam) {
    // A change stopped by closing the window reports to nobody.
    if (lParam != 0 && !m_attribThread.StopRequested()) {
        CErrorMsgDlg report(this);
        report.SetText(ReadOnlyFailureReport(wParam == AttribSet ? AttribSet : AttribClear));
        m_attribDialog = &report;
        report.DoModal();
        m_attribDialog = nullptr;
    }
    SetWorking(false);
    return 0;
}

bool CUsageDlg::StopAttribChange() {
    // The question or the report of a change ends with the window. Behind the report the
    // thread waits in its last message; it ends when the report has returned, and the
    // destructor waits for it.
    if (m_attribDialog) {
        m_attribThread.RequestStop();
        m_attribDialog->EndDialog(IDCANCEL);
        return true;
    }
    return m_attribThread.Stop();
}
