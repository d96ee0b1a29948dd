// The update check: the list, the comparison, the offer and its answer.
#include "update/UpdateCheck.h"

#include <memory>
#include <string>

#include "classlib/Clipboard.h"
#include "classlib/File.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "update/UpdateList.h"
#include "update/VersionInfo.h"
#include "usage/Format.h"

#ifndef VOLDIX_UPDATE_BASE_URL
#define VOLDIX_UPDATE_BASE_URL "http://127.0.0.1:8765/"
#endif

namespace {
const char kCheckCaption[] = "Suche nach Updates...";

// The update list, freed with its records when it ends.
struct ListFree {
    void operator()(UpdateEntry* head) const { FreeUpdateList(head); }
};
using UpdateList = std::unique_ptr<UpdateEntry, ListFree>;

// The first record of key in a list file of at most kUpdateListLimit bytes; null when
// there is none or the file cannot be read.
UpdateEntry* ReadUpdateListFile(const CString& path, const char* key) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return nullptr;
    CUpdateListReader reader(key);
    uint64_t total = 0;
    try {
        char block[4096];
        for (UINT read; (read = file.Read(block, sizeof(block))) > 0;) {
            total += read;
            if (total > kUpdateListLimit)
                return nullptr;
            reader.Add(block, read);
        }
    } catch (const CFileException&) {
        // A read error ends the list where it happened.
    }
    return reader.Finish();
}
DWORD g_listLimitMs = kListTimeLimitMs;
DWORD g_downloadLimitMs = kDownloadTimeLimitMs;
} // namespace

CString UpdateBaseUrl() {
    CString url = VOLDIX_UPDATE_BASE_URL;
    wchar_t buffer[2048] = L"";
    const DWORD length = GetEnvironmentVariableW(L"VOLDIX_UPDATE_URL", buffer, 2048);
#ifdef VOLDIX_RELEASE
    // A release asks no server over plain HTTP, whatever the environment says.
    const bool allowed = _wcsnicmp(buffer, L"https://", 8) == 0;
#else
    const bool allowed = true;
#endif
    if (allowed && length > 0 && length < 2048)
        url = Narrow(buffer);
    if (url.IsEmpty() || url[url.GetLength() - 1] != '/')
        url += '/';
    return url;
}

bool IsNewerVersion(const UpdateEntry* remote, UpdateEntry* local) {
    CString fileVersion, productVersion, comments, copyright;
    if (!local || !ReadVersionInfo(fileVersion, productVersion, comments, copyright, local))
        return false;
    return remote && IsVersionGreater(remote->version, local->version);
}

void SetTransferTimeLimits(DWORD listMs, DWORD downloadMs) {
    g_listLimitMs = listMs ? listMs : kListTimeLimitMs;
    g_downloadLimitMs = downloadMs ? downloadMs : kDownloadTimeLimitMs;
}

UpdateEntry* FetchUpdateRecord(const char* url, const char* key, HWND owner, bool* closing) {
    const CString listPath = GetProgramFolder() + "_updates.txt";
    CString ignored;
    const bool loaded = HttpDownload(url, listPath, ignored, kUpdateListLimit, owner, g_listLimitMs,
                                     nullptr, closing);
    UpdateEntry* list = loaded ? ReadUpdateListFile(listPath, key) : nullptr;
    DeleteFileW(Widen(listPath).c_str());
    return list;
}

bool CheckForUpdate(const char* key, HWND owner) {
    const CString baseUrl = UpdateBaseUrl();
    const CString listUrl = baseUrl + "Updates/_updates.txt";
    RemoveLeftoverDownloads(Widen(GetProgramFolder()));
    UpdateList list(FetchUpdateRecord(listUrl, key, owner, nullptr));
    const UpdateEntry* entry = list.get();
    if (!entry)
        return false;
    UpdateEntry own{};
    if (!IsNewerVersion(entry, &own)) {
        MessageBoxW(owner, L"Keine neuere Version vorhanden", Widen(kCheckCaption).c_str(), MB_OK);
        return false;
    }
    CString offer;
    offer.Format("Es existiert eine neuere Programm-Version:\nLokale Version:   %d.%d.%d.%d\n"
                 "Aktuelle Version: %d.%d.%d.%d\nGröße: %d %s\nHerunterladen ?",
                 own.version[0], own.version[1], own.version[2], own.version[3], entry->version[0],
                 entry->version[1], entry->version[2], entry->version[3], entry->size,
                 UnitName(entry->sizeUnit));
    if (MessageBoxW(owner, Widen(offer).c_str(), Widen(kCheckCaption).c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;

    const CString fileName = entry->fileName ? entry->fileName : "";
    const CString downloadUrl = baseUrl + (entry->path ? entry->path : "") + fileName;
    const CString target = GetProgramFolder() + fileName;
    CString errorText;
    bool downloaded = false;
    if (const char* fault = DownloadNameFault(fileName)) {
        errorText = fault;
    } else {
        bool closing = false;
        downloaded = HttpDownload(downloadUrl, target, errorText, kDownloadLimit, owner,
                                  g_downloadLimitMs, entry, &closing);
        // The program is being closed: nothing more is said.
        if (closing)
            return false;
    }
    if (downloaded) {
        CString done;
        done.Format("Die neue Version (%d.%d.%d.%d) steht nun unter dem Pfad\n\"%s\"\nzur "
                    "Verfügung.",
                    entry->version[0], entry->version[1], entry->version[2], entry->version[3],
                    target.c_str());
        MessageBoxW(owner, Widen(done).c_str(), L"Herunterladen erfolgreich",
                    MB_OK | MB_ICONINFORMATION);
        CopyTextToClipboard(owner, target);
    } else {
        CString failed;
        failed.Format("Die Datei konnte nicht herunter geladen werden.\nErrorcode: %s",
                      errorText.c_str());
        MessageBoxW(owner, Widen(failed).c_str(), L"Fehler beim Herunterladen",
                    MB_OK | MB_ICONERROR);
    }
    return downloaded;
}
