// CUsageDlg, read-only change section: the question, the worker thread, its end and its
// stop on close; and the walk that changes the entries.
#include "attrib/AttribChange.h"

#include <algorithm>
#include <exception>

#include "app/Messages.h"
#include "app/UsageDlg.h"
#include "attrib/ConfirmDlg.h"
#include "attrib/ErrorMsgDlg.h"
#include "classlib/File.h"
#include "classlib/WinText.h"
#include "log/LogFiles.h"
#include "res/resource.h"

DWORD ReadOnlyAttributes(DWORD attributes, AttribMode mode) {
    attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (mode == AttribSet)
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

std::wstring EntryLongPath(const CString& path) {
    std::wstring wide = Widen(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.empty() || wide.compare(0, 4, L"\\\\?\\") == 0)
        return wide;
    if (wide.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return L"\\\\?\\" + wide;
}

CString UserPath(const std::wstring& longPath) {
    if (longPath.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return Narrow(L"\\\\" + longPath.substr(8));
    if (longPath.compare(0, 4, L"\\\\?\\") == 0)
        return Narrow(longPath.substr(4));
    return Narrow(longPath);
}

// ---- CAttribWalk ----

bool CAttribWalk::ChangeEntry(const CString& path, AttribMode mode) {
    if (path.IsEmpty())
        return true;
    return ChangeLongEntry(EntryLongPath(path), mode);
}

bool CAttribWalk::ChangeLongEntry(const std::wstring& longPath, AttribMode mode) {
    try {
        const CString name = Narrow(longPath);
        CFileStatus status;
        if (!CFile::GetStatus(name, status))
            return true;
        status.m_attribute = ReadOnlyAttributes(status.m_attribute, mode);
        // No modification time: only the attributes are written, every time stays.
        status.m_mtime = CTime();
        CFile::SetStatus(name, status);
        return true;
    } catch (const CFileException& error) {
        LogFailure(error.m_cause, longPath);
    } catch (const std::exception&) {
        LogFailure(CFileException::genericException, longPath);
    }
    return false;
}

void CAttribWalk::LogFailure(int cause, const std::wstring& longPath) {
    try {
        CString message;
        message.Format("<%s> \"%s\".", FileErrorText(CFileException(cause)).c_str(),
                       UserPath(longPath).c_str());
        m_log.Write(message);
    } catch (const std::exception&) {
    }
}

bool CAttribWalk::ChangeTree(const CString& path, AttribMode mode) {
    if (path.IsEmpty())
        return true;
    std::wstring folder = EntryLongPath(path);
    if (folder.back() != L'\\')
        folder += L'\\';
    // Room for any entry's path: the walk allocates nothing on its way.
    if (m_entryPath.capacity() < CFolderWalk::kPathReserve)
        m_entryPath.reserve(CFolderWalk::kPathReserve);
    // A file, or a name that names nothing: there is nothing below it.
    if (!m_walk.Open(folder))
        return true;
    m_walk.SetAncestors(folder);
    bool ok = true;
    m_walk.Walk([&](const FolderEntry& entry, const std::wstring& parent) {
        if (IsDotEntry(entry))
            return;
        m_entryPath.assign(parent).append(entry.name, static_cast<size_t>(entry.nameLength));
        if (!ChangeLongEntry(m_entryPath, mode))
            ok = false;
    });
    return ok;
}

// ---- CUsageDlg: the change ----

void CUsageDlg::StartAttribChange(AttribMode mode) {
    m_attribMode = mode;
    if (!m_ready || m_list.GetNextItem(-1, LVNI_SELECTED) < 0)
        return;
    CConfirmDlg confirm(this);
    confirm.SetMode(mode);
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

    SetWorking(true);
    if (m_attribThread) {
        CloseHandle(m_attribThread);
        m_attribThread = nullptr;
    }
    m_stopAttrib = false;
    m_attribThread = CreateThread(nullptr, 0, &CUsageDlg::AttribThreadProc, this, 0, nullptr);
    if (!m_attribThread) {
        // No thread to be had: change here rather than leave the window busy for good.
        const bool ok = RunAttribChange();
        OnAttribDone(mode, ok ? 0 : 1);
    }
}

DWORD WINAPI CUsageDlg::AttribThreadProc(LPVOID param) {
    CUsageDlg* dialog = static_cast<CUsageDlg*>(param);
    const AttribMode mode = dialog->m_attribMode;
    const bool ok = dialog->RunAttribChange();
    ::SendMessageW(dialog->m_hWnd, WM_ATTRIB_DONE, mode, ok ? 0 : 1);
    return 0;
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
    for (int i = 0; i < m_attribRoots.GetSize() && !m_stopAttrib; ++i) {
        if (!m_attribWalk.ChangeEntry(m_attribRoots[i], mode))
            ok = false;
        if (!m_stopAttrib && !m_attribWalk.ChangeTree(m_attribRoots[i], mode))
            ok = false;
    }
    return ok;
}

LRESULT CUsageDlg::OnAttribDone(WPARAM wParam, LPARAM lParam) {
    // A change stopped by closing the window reports to nobody.
    if (lParam != 0 && !m_stopAttrib) {
        CString text;
        text.Format("Bei mindestens einer Datei konnte der Schreibschutz nicht %s werden.\n"
                    "Bitte überprüfen Sie das Fehler-Protokoll.",
                    wParam == AttribSet ? "gesetzt" : "entfernt");
        CErrorMsgDlg report(this);
        report.SetText(text);
        m_attribDialog = &report;
        report.DoModal();
        m_attribDialog = nullptr;
    }
    SetWorking(false);
    return 0;
}

bool CUsageDlg::StopAttribChange() {
    if (m_waitingForAttrib)
        return false;
    m_stopAttrib = true;
    // The question or the report of a change ends with the window. Behind the report the
    // thread waits in its last message; it ends when the report has returned, and the
    // destructor waits for it.
    if (m_attribDialog) {
        m_attribDialog->EndDialog(IDCANCEL);
        return true;
    }
    if (!m_attribThread)
        return true;
    m_waitingForAttrib = true;
    WaitServingSentMessages(m_attribThread);
    m_waitingForAttrib = false;
    return true;
}
