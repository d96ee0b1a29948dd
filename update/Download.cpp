// The download: a session with bounded transfers, the request, the body copied with its
// size and time limits and its hash, the temporary file and the signature check.
#include "update/Download.h"

#include <algorithm>
#include <string>

#include "classlib/File.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
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

std::unique_ptr<CInternetSession> OpenSession() {
    auto session = std::make_unique<CInternetSession>(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG);
    for (DWORD option : kTimeoutOptions)
        if (!session->SetOption(option, kInternetTimeoutMs))
            CInternetException::ThrowLastError();
    return session;
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
