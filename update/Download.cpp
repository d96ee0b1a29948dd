// The download: a session with bounded transfers, the request with its redirects, the body
// copied with its caps and hash on a worker thread that the window waits for, the
// temporary file and the signature check.
#include "update/Download.h"

#include <atomic>
#include <memory>
#include <string>

#include "classlib/File.h"
#include "classlib/Handle.h"
#include "classlib/ModalWait.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "classlib/WorkerThread.h"
#include "update/SignatureCheck.h"
#include "update/UpdateSignature.h"

namespace {
const char kOpenFailed[] = "Die Datei '%s' konnte nicht zum Schreiben geöffnet werden.";
const char kBadSignature[] = "Error: Signatur ungültig";
const char kTooSlow[] = "Error: Zeitüberschreitung";

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
// given; false with errorText set when the body is longer than sizeLimit or shorter
// than the length the response announced, or when the transfer was given up.
bool CopyBody(CHttpFile& response, CFile& file, uint64_t sizeLimit,
              const std::atomic<bool>& givenUp, CSha256* hash, CString& errorText) {
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
        // hold a read for long once the transfer has been given up.
        DWORD available = 0;
        if (!response.QueryDataAvailable(available))
            CInternetException::ThrowLastError();
        const UINT wanted = available > 0 && available < sizeof(block) ? available : sizeof(block);
        const UINT read = response.Read(block, wanted);
        if (givenUp) {
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

// The error text of a final status other than 200: the plain one for a failure status
// (400 or more) or none, the status with it for any other.
CString StatusErrorText(DWORD status) {
    CString text = "Error: HTTP";
    if (status > 0 && status < 400)
        text.Format("Error: HTTP %lu", static_cast<unsigned long>(status));
    return text;
}

bool IsRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Sends a GET for url, which AfxParseURL has split, over a new connection; the
// response, its status in status (0 when it has none).
std::unique_ptr<CHttpFile> SendGet(CInternetSession& session, DWORD service, const CString& server,
                                   const CString& object, INTERNET_PORT port,
                                   std::unique_ptr<CHttpConnection>& connection, DWORD& status) {
    connection = session.GetHttpConnection(server, port);
    // HTTPS with the system's full checks of the server's certificate; redirects, cookies,
    // authentication and dialogues are none of WinINet's business here.
    const DWORD secure = service == AFX_INET_SERVICE_HTTPS ? INTERNET_FLAG_SECURE : 0;
    std::unique_ptr<CHttpFile> response = connection->OpenRequest(
        "GET", object, nullptr, 1, nullptr, nullptr,
        INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
            INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH |
            INTERNET_FLAG_NO_UI | secure);
    // Also on the request itself: not every WinINet hands them on from the session.
    for (DWORD option : kTimeoutOptions)
        if (!response->SetOption(option, kInternetTimeoutMs))
            CInternetException::ThrowLastError();
    response->SendRequest();
    if (!response->QueryInfoStatusCode(status))
        status = 0;
    return response;
}

// Sends a GET for url and follows at most kMaxRedirects redirects, each to a URL of the
// same scheme; the last response, whatever its status.
std::unique_ptr<CHttpFile> GetFollowingRedirects(CInternetSession& session, CString url,
                                                 std::unique_ptr<CHttpConnection>& connection,
                                                 DWORD& status) {
    DWORD scheme = 0, service = 0;
    CString server, object, next;
    INTERNET_PORT port = 0;
    AfxParseURL(url, scheme, server, object, port);
    std::unique_ptr<CHttpFile> response =
        SendGet(session, scheme, server, object, port, connection, status);
    for (int redirects = 0; redirects < kMaxRedirects && IsRedirect(status); ++redirects) {
        CString location;
        if (!response->QueryInfo(HTTP_QUERY_LOCATION, location) ||
            !AfxCombineURL(url, location, next) ||
            !AfxParseURL(next, service, server, object, port) || service != scheme)
            break;
        url = next;
        response.reset();
        response = SendGet(session, service, server, object, port, connection, status);
    }
    return response;
}

// One transfer, shared by the waiting thread and the worker that runs it. Whichever lets
// go of it last ends it: a worker that the wait gave up deletes its temporary file itself.
struct Transfer {
    // Set before the worker starts.
    CString url;
    std::wstring folder, target;
    uint64_t sizeLimit = 0;
    bool hashed = false;
    CString failedOpen;
    CHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> givenUp{false};
    // Set by the worker before it signals done.
    bool complete = false;
    CString errorText;
    std::unique_ptr<CInternetException> internetError;
    std::unique_ptr<CFileException> fileError;
    bool failedOtherwise = false;
    TemporaryFile temporary;
    unsigned char digest[kSha256Bytes] = {};
};

// A new session with the transfer timeouts set; throws when none can be opened, or its
// transfers could not be bounded.
std::unique_ptr<CInternetSession> OpenSession() {
    auto session = std::make_unique<CInternetSession>(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG);
    for (DWORD option : kTimeoutOptions)
        if (!session->SetOption(option, kInternetTimeoutMs))
            CInternetException::ThrowLastError();
    return session;
}

// The worker's part of a transfer: the request and the body in the temporary file.
bool RunTransfer(Transfer& transfer) {
    std::unique_ptr<CInternetSession> session = OpenSession();
    std::unique_ptr<CHttpConnection> connection;
    DWORD status = 0;
    std::unique_ptr<CHttpFile> response =
        GetFollowingRedirects(*session, transfer.url, connection, status);
    if (status != HTTP_STATUS_OK) {
        transfer.errorText = StatusErrorText(status);
        return false;
    }
    // A write-protected file is not replaced (not every file system refuses it).
    const DWORD attributes = GetFileAttributesW(transfer.target.c_str());
    const bool protectedTarget =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    CFile file;
    if (protectedTarget || !transfer.temporary.Create(transfer.folder) ||
        !file.Open(Narrow(transfer.temporary.Path()),
                   CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
        transfer.errorText = transfer.failedOpen;
        return false;
    }
    std::unique_ptr<CSha256> hash;
    if (transfer.hashed)
        hash = std::make_unique<CSha256>();
    if (!CopyBody(*response, file, transfer.sizeLimit, transfer.givenUp, hash.get(),
                  transfer.errorText))
        return false;
    file.Close();
    if (hash && !hash->Finish(transfer.digest)) {
        transfer.errorText = kBadSignature;
        return false;
    }
    return true;
}

// The work of the worker thread: the transfer, its failure kept for the waiting thread,
// which the end is signalled to.
void TransferWork(Transfer& transfer) {
    try {
        transfer.complete = RunTransfer(transfer);
    } catch (const CInternetException& error) {
        transfer.internetError = std::make_unique<CInternetException>(error);
    } catch (const CFileException& error) {
        transfer.fileError = std::make_unique<CFileException>(error);
    } catch (...) {
        // No memory, say: told as a failed command.
        transfer.failedOtherwise = true;
    }
    SetEvent(transfer.done.Get());
}
} // namespace

void RemoveLeftoverDownloads(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"vdx*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        // The names that GetTempFileName gives them, "vdx" and up to four hex digits; the
        // long name itself must be one, not only its 8.3 alias.
        const std::wstring name = found.cFileName;
        if (name.size() >= 8 && name.size() <= 11 &&
            name.find_first_not_of(L"0123456789ABCDEFabcdef", 3) == name.size() - 4 &&
            _wcsicmp(name.c_str() + name.size() - 4, L".tmp") == 0 &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW((folder + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool HttpDownload(const char* url, const char* localPath, CString& errorText, uint64_t sizeLimit,
                  HWND owner, DWORD limitMs, const UpdateEntry* signedRecord, bool* closing) {
    if (closing)
        *closing = false;
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
    auto transfer = std::make_shared<Transfer>();
    transfer->url = url;
    transfer->failedOpen.Format(kOpenFailed, localPath);
    transfer->target = Widen(localPath);
    const size_t slash = transfer->target.find_last_of(L"\\/");
    transfer->folder = slash == std::wstring::npos ? L"." : transfer->target.substr(0, slash + 1);
    transfer->sizeLimit = sizeLimit;
    transfer->hashed = signedRecord != nullptr;

    // The worker holds the transfer, too, for as long as it runs.
    CWorkerThread worker;
    if (!transfer->done.IsValid() || !worker.Start([transfer] { TransferWork(*transfer); })) {
        AfxReportCommandFailure(owner);
        return false;
    }
    const WaitEnd end = WaitModally(owner, transfer->done.Get(), limitMs);
    if (end != WaitEnd::Signalled) {
        // A worker blocked in WinINet cannot be interrupted: it is left to end alone, and
        // whatever it brings is thrown away.
        transfer->givenUp = true;
        worker.Detach();
        if (end == WaitEnd::Closing && closing)
            *closing = true;
        else
            errorText = kTooSlow;
        return false;
    }
    worker.Stop();
    if (transfer->internetError) {
        // A certificate that the system refuses ends up here, too: its box shows why.
        transfer->internetError->ReportError(owner);
        return false;
    }
    if (transfer->fileError) {
        ReportFileError(*transfer->fileError, owner);
        return false;
    }
    if (transfer->failedOtherwise) {
        AfxReportCommandFailure(owner);
        return false;
    }
    if (!transfer->complete) {
        errorText = transfer->errorText;
        return false;
    }
    if (signedRecord && !HasValidSignature(*signedRecord, transfer->digest)) {
        errorText = kBadSignature;
        return false;
    }
    if (!transfer->temporary.MoveTo(transfer->target)) {
        errorText = transfer->failedOpen;
        return false;
    }
    return true;
}
