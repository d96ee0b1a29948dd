// The walk of the bulk read-only change.
#include "attrib/AttribWalk.h"

#include <exception>

#include "classlib/File.h"
#include "classlib/WinText.h"

DWORD ReadOnlyAttributes(DWORD attributes, AttribMode mode) {
    attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (mode == AttribSet)
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

CString ReadOnlyQuestion(AttribMode mode) {
    CString question;
    question.Format("Ab Auswahl bei allen Dateien\r\nden Schreibschutz %s?",
                    mode != AttribSet ? "entfernen" : "setzen");
    return question;
}

CString ReadOnlyFailureReport(AttribMode mode) {
    CString text;
    text.Format("Bei mindestens einer Datei konnte der Schreibschutz nicht %s werden.\n"
                "Bitte überprüfen Sie das Fehler-Protokoll.",
                mode == AttribSet ? "gesetzt" : "entfernt");
    return text;
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
    const std::wstring folder = LongPath(path);
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
