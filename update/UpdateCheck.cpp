// The update check and CUsageDlg's update section: "&Update suchen".
#include "update/UpdateCheck.h"

#include <algorithm>
#include <memory>
#include <string>

#include "app/UsageDlg.h"
#include "classlib/File.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "log/LogFiles.h"
#include "update/SignatureCheck.h"
#include "update/UpdateList.h"
#include "update/UpdateSignature.h"
#include "update/VersionInfo.h"
#include "usage/Format.h"
#include "usage/Navigation.h"

#ifndef VOLDIX_UPDATE_BASE_URL
#define VOLDIX_UPDATE_BASE_URL "http://127.0.0.1:8765/"
#endif

namespace {
const char kCheckCaption[] = "Suche nach Updates...";
const char kOpenFailed[] = "Die Datei '%s' konnte nicht zum Schreiben geöffnet werden.";
const char kBadSignature[] = "Error: Signatur ungültig";
const char kTooSlow[] = "Error: Zeitüberschreitung";

// The update list, freed with its records when it ends.
struct ListFree {
    void operator()(UpdateEntry* head) const { FreeUpdateList(head); }
};
using UpdateList = std::unique_ptr<UpdateEntry, ListFree>;

// The application's wait cursor for as long as this lives.
class WaitCursor {
  public:
    WaitCursor() : m_app(AfxGetApp()) {
        if (m_app)
            m_app->BeginWaitCursor();
    }
    ~WaitCursor() {
        if (m_app)
            m_app->EndWaitCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    CWinApp* m_app;
};

// A file that is deleted when this ends, unless it was handed on.
class TemporaryFile {
  public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!m_path.empty())
            DeleteFileW(m_path.c_str());
    }
    // Makes a new empty file with a unique name in folder; false when it cannot.
    bool Create(const std::wstring& folder) {
        wchar_t path[MAX_PATH + 16] = L"";
        if (!GetTempFileNameW(folder.c_str(), L"vdx", 0, path))
            return false;
        m_path = path;
        return true;
    }
    const std::wstring& Path() const { return m_path; }
    // Moves the file to target, replacing a file there; true when it was moved.
    bool MoveTo(const std::wstring& target) {
        if (!MoveFileExW(m_path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
            return false;
        m_path.clear();
        return true;
    }

  private:
    std::wstring m_path;
};

const DWORD kTimeoutOptions[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                 INTERNET_OPTION_RECEIVE_TIMEOUT};

// A new session with the transfer timeouts set; throws when none can be opened, or its
// transfers could not be bounded.
std::unique_ptr<CInternetSession> OpenSession() {
    auto session = std::make_unique<CInternetSession>(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG);
    for (DWORD option : kTimeoutOptions)
        if (!session->SetOption(option, kInternetTimeoutMs))
            CInternetException::ThrowLastError();
    return session;
}

// True when the download's digest carries the record's valid signature under the
// program's key.
bool HasValidSignature(const UpdateEntry& record, const unsigned char digest[kSha256Bytes]) {
    unsigned char key[kPublicKeyBytes], signature[kSignatureBytes];
    if (!ParsePublicKey(kUpdatePublicKey, key) || !ParseSignatureField(record.signature, signature))
        return false;
    return VerifySignature(
        key, SignedUpdateMessage(record.name, record.version, record.fileName, digest), signature);
}

// The error box of a file exception, shown as the class library shows its exceptions.
void ReportFileError(const CFileException& error, HWND owner) {
    CString text = FileErrorText(error);
    if (!error.m_strFileName.IsEmpty())
        text += CString("\n") + error.m_strFileName;
    AfxReportError(owner, text);
}

// Copies the response body to file in blocks, each also added to hash when one is
// given; false with errorText set when the body is longer than sizeLimit, shorter than
// the length the response announced, or the transfer begun at start outlasts baseMs
// and 1 s per kTransferBytesPerSecond announced or received.
bool CopyBody(CHttpFile& response, CFile& file, uint64_t sizeLimit, ULONGLONG start, DWORD baseMs,
              CSha256* hash, CString& errorText) {
    uint64_t announced = 0;
    const bool hasLength = response.QueryContentLength(announced);
    if (hasLength && announced > sizeLimit) {
        errorText = "Error: Datei zu groß";
        return false;
    }
    char block[1024];
    uint64_t total = 0;
    for (;;) {
        // Read only what has come, so that a server sending a byte now and then cannot
        // hold a read, and with it the time check, for long.
        DWORD available = 0;
        if (!response.QueryDataAvailable(available))
            CInternetException::ThrowLastError();
        const UINT wanted = available > 0 && available < sizeof(block) ? available : sizeof(block);
        const UINT read = response.Read(block, wanted);
        const uint64_t counted = std::max(announced, total + read);
        if (GetTickCount64() - start > baseMs + counted * 1000 / kTransferBytesPerSecond) {
            errorText = kTooSlow;
            return false;
        }
        if (read == 0)
            break;
        total += read;
        if (total > sizeLimit) {
            errorText = "Error: Datei zu groß";
            return false;
        }
        file.Write(block, read);
        if (hash && !hash->Add(block, read)) {
            errorText = kBadSignature;
            return false;
        }
    }
    if (hasLength && total != announced) {
        errorText = "Error: Übertragung unvollständig";
        return false;
    }
    return true;
}

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

// Deletes the temporary files that a download ended by force left in folder: the
// names that GetTempFileName gives them, "vdx" and up to four hex digits.
void RemoveLeftoverDownloads(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"vdx*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        // The long name itself, not only its 8.3 alias, must be such a name.
        const std::wstring name = found.cFileName;
        if (name.size() >= 8 && name.size() <= 11 &&
            name.find_first_not_of(L"0123456789ABCDEFabcdef", 3) == name.size() - 4 &&
            _wcsicmp(name.c_str() + name.size() - 4, L".tmp") == 0 &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW((folder + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
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

bool HttpDownload(CInternetSession& session, const char* url, const char* localPath,
                  CString& errorText, uint64_t sizeLimit, HWND owner,
                  const UpdateEntry* signedRecord, DWORD baseMs) {
    const ULONGLONG start = GetTickCount64();
    DWORD service = 0;
    CString server, object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url, service, server, object, port) ||
        (service != AFX_INET_SERVICE_HTTP && service != AFX_INET_SERVICE_HTTPS)) {
        errorText = "Parse-Error: URL";
        return false;
    }
    // A record without a well-formed signature is not even fetched.
    unsigned char signature[kSignatureBytes];
    if (signedRecord && !ParseSignatureField(signedRecord->signature, signature)) {
        errorText = kBadSignature;
        return false;
    }
    CString failedOpen;
    failedOpen.Format(kOpenFailed, localPath);
    const std::wstring target = Widen(localPath);
    const size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash + 1);

    // Declared before the file, so that the file is closed before it is deleted.
    TemporaryFile temporary;
    try {
        std::unique_ptr<CHttpConnection> connection = session.GetHttpConnection(server, port);
        // HTTPS with the system's full checks of the server's certificate.
        const DWORD secure = service == AFX_INET_SERVICE_HTTPS ? INTERNET_FLAG_SECURE : 0;
        std::unique_ptr<CHttpFile> response =
            connection->OpenRequest("GET", object, nullptr, 1, nullptr, nullptr,
                                    INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_RELOAD |
                                        INTERNET_FLAG_NO_CACHE_WRITE | secure);
        // Also on the request itself: not every WinINet hands them on from the session.
        for (DWORD option : kTimeoutOptions)
            if (!response->SetOption(option, kInternetTimeoutMs))
                CInternetException::ThrowLastError();
        response->SendRequest();
        DWORD status = 0;
        if (!response->QueryInfoStatusCode(status) || status >= 400) {
            errorText = "Error: HTTP";
            return false;
        }
        // A write-protected file is not replaced (not every file system refuses it).
        const DWORD attributes = GetFileAttributesW(target.c_str());
        const bool protectedTarget =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
        CFile file;
        if (protectedTarget || !temporary.Create(folder) ||
            !file.Open(Narrow(temporary.Path()),
                       CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
            errorText = failedOpen;
            return false;
        }
        std::unique_ptr<CSha256> hash;
        if (signedRecord)
            hash = std::make_unique<CSha256>();
        if (!CopyBody(*response, file, sizeLimit, start, baseMs, hash.get(), errorText))
            return false;
        file.Close();
        unsigned char digest[kSha256Bytes];
        if (signedRecord && (!hash->Finish(digest) || !HasValidSignature(*signedRecord, digest))) {
            errorText = kBadSignature;
            return false;
        }
        if (!temporary.MoveTo(target)) {
            errorText = failedOpen;
            return false;
        }
        return true;
    } catch (const CInternetException& error) {
        // A certificate that the system refuses ends up here, too: its box shows why.
        error.ReportError(owner);
    } catch (const CFileException& error) {
        ReportFileError(error, owner);
    }
    return false;
}

UpdateEntry* FetchUpdateRecord(const char* url, const char* key, HWND owner) {
    const CString listPath = GetProgramFolder() + "_updates.txt";
    bool loaded = false;
    {
        std::unique_ptr<CInternetSession> session = OpenSession();
        CString ignored;
        loaded = HttpDownload(*session, url, listPath, ignored, kUpdateListLimit, owner);
    }
    UpdateEntry* list = loaded ? ReadUpdateListFile(listPath, key) : nullptr;
    DeleteFileW(Widen(listPath).c_str());
    return list;
}

bool CheckForUpdate(const char* key, HWND owner) {
    const CString baseUrl = UpdateBaseUrl();
    const CString listUrl = baseUrl + "Updates/_updates.txt";
    RemoveLeftoverDownloads(Widen(GetProgramFolder()));
    UpdateList list(FetchUpdateRecord(listUrl, key, owner));
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
        std::unique_ptr<CInternetSession> session = OpenSession();
        downloaded =
            HttpDownload(*session, downloadUrl, target, errorText, kDownloadLimit, owner, entry);
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

void CUsageDlg::OnUpdateSearch() {
    const int answer = MessageBox(
        "Sie können nun nach neueren Programmversionen im Internet suchen lassen.\nDafür müssen "
        "Sie allerdings mit dem Internet verbunden ('online') sein.\nWenn es eine neuere Version "
        "gibt, können Sie diese auch sofort herunter laden.\nDie ge'zip'te Datei liegt dann im "
        "gleichen Pfad wie dieses Programm.\n\nUpdates auf den Seiten der Tessaly suchen?",
        "Update suchen...", MB_YESNO | MB_ICONINFORMATION);
    if (answer != IDYES)
        return;
    WaitCursor wait;
    try {
        CheckForUpdate("voldix", m_hWnd);
    } catch (const CInternetException& error) {
        // No internet session could be opened.
        error.ReportError(m_hWnd);
    } catch (...) {
        // Whatever else went wrong (no memory, say) ends the command, not the program.
        AfxReportCommandFailure(m_hWnd);
    }
}
