#include "Internet.h"

#include <cstring>
#include <string>
#include <vector>

#include "SystemDll.h"
#include "WinApp.h"
#include "WinText.h"

// A WinINet function from the system folder, for the functions that throw on failure.
#define WININET(name) Required(SYSTEM_FUNCTION(L"wininet.dll", name))
// A WinINet function from the system folder or null, for those that return a result.
#define WININET_OR_NULL(name) SYSTEM_FUNCTION(L"wininet.dll", name)

namespace {
// function, or CInternetException when the system has none.
template <typename F> F Required(F function) {
    if (!function)
        throw CInternetException(ERROR_PROC_NOT_FOUND);
    return function;
}

// The program's name: its file name without the extension.
CString ProgramName() {
    CString name = Narrow(GetProgramPath());
    name = name.Mid(name.ReverseFind('\\') + 1);
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

// The reason for a refused server certificate, for a system that has no text of its own
// for it (Wine has none for some); null for other errors.
const char* CertificateErrorText(DWORD error) {
    switch (error) {
    case ERROR_INTERNET_INVALID_CA:
        return "Das Zertifikat des Servers stammt von keiner vertrauenswürdigen Stelle.";
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
        return "Das Zertifikat des Servers gilt nicht für diesen Servernamen.";
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
        return "Das Zertifikat des Servers ist abgelaufen oder noch nicht gültig.";
    case ERROR_INTERNET_SEC_CERT_NO_REV:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
        return "Ob das Zertifikat des Servers widerrufen ist, ließ sich nicht prüfen.";
    case ERROR_INTERNET_SEC_CERT_REVOKED: return "Das Zertifikat des Servers ist widerrufen.";
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_INVALID_CERT: return "Das Zertifikat des Servers ist ungültig.";
    default: return nullptr;
    }
}

// A wide copy of an optional text; null stays null.
struct WideText {
    explicit WideText(const char* text) : m_null(text == nullptr), m_text(Widen(text)) {}
    const wchar_t* Get() const { return m_null ? nullptr : m_text.c_str(); }
    bool m_null;
    std::wstring m_text;
};
} // namespace

void CInternetException::ThrowLastError(DWORD_PTR context) {
    throw CInternetException(GetLastError(), context);
}

bool CInternetException::GetErrorMessage(CString& text) const {
    wchar_t* message = nullptr;
    DWORD length = 0;
    if (m_dwError >= INTERNET_ERROR_BASE && m_dwError <= INTERNET_ERROR_LAST)
        length = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                    FORMAT_MESSAGE_IGNORE_INSERTS,
                                GetModuleHandleW(L"wininet.dll"), m_dwError, 0,
                                reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    if (length == 0)
        length =
            FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, m_dwError, 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    if (length == 0 || !message)
        return false;
    // The system's texts end in a line break.
    while (length > 0 && (message[length - 1] == L'\n' || message[length - 1] == L'\r'))
        --length;
    text = Narrow(message, static_cast<int>(length));
    LocalFree(message);
    return !text.IsEmpty();
}

void CInternetException::ReportError(HWND owner) const {
    CString text;
    const char* certificate = CertificateErrorText(m_dwError);
    if (!GetErrorMessage(text) && certificate)
        text.Format("%s (Fehler %lu)", certificate, static_cast<unsigned long>(m_dwError));
    else if (text.IsEmpty())
        text.Format("Keine Fehlermeldung verfügbar (Fehler %lu).",
                    static_cast<unsigned long>(m_dwError));
    AfxReportError(owner, text);
}

void AfxReportError(HWND owner, const CString& text) {
    MessageBoxW(owner, Widen(text).c_str(), Widen(ProgramName()).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
}

void AfxReportCommandFailure(HWND owner) {
    AfxReportError(owner, "Der Befehl konnte nicht ausgeführt werden.");
}

void CInternetHandle::Close() {
    const auto close = WININET_OR_NULL(InternetCloseHandle);
    if (m_handle && close)
        close(m_handle);
    m_handle = nullptr;
}

void CHttpFile::SendRequest(const char* headers, DWORD headersLength, void* optional,
                            DWORD optionalLength) {
    std::wstring wideHeaders;
    if (headers && headersLength == static_cast<DWORD>(-1))
        wideHeaders = Widen(headers);
    else if (headers)
        wideHeaders = Widen(CString(headers, static_cast<int>(strnlen(headers, headersLength))));
    // WinINet counts the headers in characters of their wide form.
    if (!WININET(HttpSendRequestW)(
            m_request.Get(), wideHeaders.empty() ? nullptr : wideHeaders.c_str(),
            static_cast<DWORD>(wideHeaders.size()), optional, optionalLength))
        CInternetException::ThrowLastError(m_context);
}

BOOL CHttpFile::SetOption(DWORD option, DWORD value) {
    const auto setOption = WININET_OR_NULL(InternetSetOptionW);
    return setOption && setOption(m_request.Get(), option, &value, sizeof(value));
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& status) const {
    const auto queryInfo = WININET_OR_NULL(HttpQueryInfoW);
    DWORD size = sizeof(status);
    return queryInfo && queryInfo(m_request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                                  &status, &size, nullptr);
}

BOOL CHttpFile::QueryDataAvailable(DWORD& available) {
    const auto query = WININET_OR_NULL(InternetQueryDataAvailable);
    available = 0;
    return query && query(m_request.Get(), &available, 0, 0);
}

BOOL CHttpFile::QueryInfo(DWORD info, CString& text) const {
    const auto queryInfo = WININET_OR_NULL(HttpQueryInfoW);
    std::vector<wchar_t> buffer(256);
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    BOOL ok = queryInfo && queryInfo(m_request.Get(), info, buffer.data(), &size, nullptr);
    // A longer header gives the bytes it needs; a header beyond 64 KiB is refused.
    if (!ok && queryInfo && GetLastError() == ERROR_INSUFFICIENT_BUFFER && size <= 65536) {
        buffer.resize(size / sizeof(wchar_t) + 1);
        size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        ok = queryInfo(m_request.Get(), info, buffer.data(), &size, nullptr);
    }
    if (ok)
        text = Narrow(buffer.data(), static_cast<int>(size / sizeof(wchar_t)));
    return ok;
}

bool CHttpFile::QueryContentLength(uint64_t& length) const {
    const auto queryInfo = WININET_OR_NULL(HttpQueryInfoW);
    wchar_t text[32] = L"";
    DWORD size = sizeof(text);
    if (!queryInfo || !queryInfo(m_request.Get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return false;
    // A length that is not a plain decimal number counts as none.
    uint64_t value = 0;
    const wchar_t* c = text;
    if (!*c)
        return false;
    for (; *c; ++c) {
        if (*c < L'0' || *c > L'9' || value > (UINT64_MAX - 9) / 10)
            return false;
        value = value * 10 + static_cast<uint64_t>(*c - L'0');
    }
    length = value;
    return true;
}

UINT CHttpFile::Read(void* buffer, UINT count) {
    DWORD read = 0;
    if (!WININET(InternetReadFile)(m_request.Get(), buffer, count, &read))
        CInternetException::ThrowLastError(m_context);
    return read;
}

std::unique_ptr<CHttpConnection> CInternetSession::GetHttpConnection(const char* server,
                                                                     INTERNET_PORT port,
                                                                     const char* userName,
                                                                     const char* password) {
    const WideText wideServer(server), wideUser(userName), widePassword(password);
    HINTERNET connection =
        WININET(InternetConnectW)(m_session.Get(), wideServer.Get(), port, wideUser.Get(),
                                  widePassword.Get(), INTERNET_SERVICE_HTTP, 0, m_context);
    if (!connection)
        CInternetException::ThrowLastError(m_context);
    return std::make_unique<CHttpConnection>(connection, m_context);
}

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(const char* verb, const char* object,
                                                        const char* referer, DWORD_PTR context,
                                                        const char** acceptTypes,
                                                        const char* version, DWORD flags) {
    const WideText wideVerb(verb), wideObject(object), wideReferer(referer), wideVersion(version);
    std::vector<std::wstring> accept;
    std::vector<const wchar_t*> acceptPointers;
    for (const char** type = acceptTypes; type && *type; ++type)
        accept.push_back(Widen(*type));
    for (const std::wstring& type : accept)
        acceptPointers.push_back(type.c_str());
    acceptPointers.push_back(nullptr);
    HINTERNET request = WININET(HttpOpenRequestW)(
        m_connection.Get(), wideVerb.Get(), wideObject.Get(), wideVersion.Get(), wideReferer.Get(),
        acceptTypes ? acceptPointers.data() : nullptr, flags, context);
    if (!request)
        CInternetException::ThrowLastError(context);
    return std::make_unique<CHttpFile>(request, context);
}

CInternetSession::CInternetSession(const char* agent, DWORD_PTR context, DWORD accessType,
                                   const char* proxyName, const char* proxyBypass, DWORD flags)
    : m_context(context) {
    const CString name = agent ? CString(agent) : ProgramName();
    const WideText wideProxy(proxyName), wideBypass(proxyBypass);
    HINTERNET session = WININET(InternetOpenW)(Widen(name).c_str(), accessType, wideProxy.Get(),
                                               wideBypass.Get(), flags);
    if (!session)
        CInternetException::ThrowLastError(context);
    m_session.Attach(session);
}

BOOL CInternetSession::SetOption(DWORD option, DWORD value) {
    const auto setOption = WININET_OR_NULL(InternetSetOptionW);
    return setOption && setOption(m_session.Get(), option, &value, sizeof(value));
}

BOOL AfxCombineURL(const char* base, const char* relative, CString& url) {
    const auto combine = WININET_OR_NULL(InternetCombineUrlW);
    std::vector<wchar_t> buffer(4096);
    DWORD length = static_cast<DWORD>(buffer.size());
    if (!combine || !combine(Widen(base).c_str(), Widen(relative).c_str(), buffer.data(), &length,
                             ICU_NO_ENCODE))
        return FALSE;
    url = Narrow(buffer.data(), static_cast<int>(length));
    return TRUE;
}

BOOL AfxParseURL(const char* url, DWORD& serviceType, CString& server, CString& object,
                 INTERNET_PORT& port) {
    serviceType = AFX_INET_SERVICE_UNK;
    if (!url || !*url)
        return FALSE;
    const std::wstring wideUrl = Widen(url);
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    const auto crackUrl = WININET_OR_NULL(InternetCrackUrlW);
    if (!crackUrl || !crackUrl(wideUrl.c_str(), 0, 0, &parts))
        return FALSE;
    switch (parts.nScheme) {
    case INTERNET_SCHEME_HTTP: serviceType = AFX_INET_SERVICE_HTTP; break;
    case INTERNET_SCHEME_HTTPS: serviceType = AFX_INET_SERVICE_HTTPS; break;
    case INTERNET_SCHEME_FTP: serviceType = AFX_INET_SERVICE_FTP; break;
    case INTERNET_SCHEME_FILE: serviceType = AFX_INET_SERVICE_FILE; break;
    default: serviceType = AFX_INET_SERVICE_UNK; break;
    }
    if (!parts.lpszHostName || parts.dwHostNameLength == 0)
        return FALSE;
    server = Narrow(parts.lpszHostName, static_cast<int>(parts.dwHostNameLength));
    std::wstring path;
    if (parts.lpszUrlPath)
        path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo)
        path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty() || path[0] != L'/')
        path.insert(0, 1, L'/');
    object = Narrow(path);
    port = parts.nPort;
    return TRUE;
}
