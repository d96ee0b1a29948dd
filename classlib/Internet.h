#pragma once
// CInternetSession, CHttpConnection, CHttpFile, CInternetException and AfxParseURL:
// HTTP over WinINet with UTF-8 texts. Every handle is owned by its object and closed
// with it. The functions that stand for throwing ones of the class library (opening a
// session, connection or request, sending, reading) throw CInternetException with the
// error code; the others return a result that the caller must check.
#include <windows.h>

#include <wininet.h>

#include <cstdint>
#include <memory>

#include "String.h"

// Service types that AfxParseURL reports.
enum : DWORD {
    AFX_INET_SERVICE_FTP = 1,
    AFX_INET_SERVICE_HTTP = 3,
    AFX_INET_SERVICE_UNK = 0x1000,
    AFX_INET_SERVICE_FILE = 0x1001,
    AFX_INET_SERVICE_HTTPS = 0x100B,
};

// A failed WinINet call: its error code and the context of the handle.
class CInternetException {
  public:
    explicit CInternetException(DWORD error, DWORD_PTR context = 1)
        : m_dwError(error), m_dwContext(context) {}

    // Throws the exception for the calling thread's last error.
    [[noreturn]] static void ThrowLastError(DWORD_PTR context = 1);
    // The system's text of the error; false when there is none.
    bool GetErrorMessage(CString& text) const;
    // Shows the error's text (or a standard text) in a message box with an OK button,
    // captioned with the program's name and owned by owner.
    void ReportError(HWND owner) const;

    DWORD m_dwError;
    DWORD_PTR m_dwContext;
};

// An open WinINet handle, closed when it ends.
class CInternetHandle {
  public:
    explicit CInternetHandle(HINTERNET handle = nullptr) : m_handle(handle) {}
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    ~CInternetHandle() { Close(); }
    HINTERNET Get() const { return m_handle; }
    // Takes over handle, closing the one held before.
    void Attach(HINTERNET handle) {
        Close();
        m_handle = handle;
    }
    void Close();

  private:
    HINTERNET m_handle;
};

// The response of one HTTP request: send it, read its status, headers and body.
class CHttpFile {
  public:
    explicit CHttpFile(HINTERNET request, DWORD_PTR context)
        : m_request(request), m_context(context) {}

    // Sends the request with the first headersLength bytes of headers (all of them for
    // -1) and an optional body; throws on failure.
    void SendRequest(const char* headers = nullptr, DWORD headersLength = 0,
                     void* optional = nullptr, DWORD optionalLength = 0);
    // Sets a number option of the request (timeouts), before it is sent.
    [[nodiscard]] BOOL SetOption(DWORD option, DWORD value);
    // The response's status code; FALSE when the response has none.
    [[nodiscard]] BOOL QueryInfoStatusCode(DWORD& status) const;
    // Waits until some of the body has come or the body has ended, and gives how many
    // bytes can be read at once; FALSE on failure.
    [[nodiscard]] BOOL QueryDataAvailable(DWORD& available);
    // A header of the response as text (HTTP_QUERY_LOCATION, ...); FALSE when it has none.
    [[nodiscard]] BOOL QueryInfo(DWORD info, CString& text) const;
    // The body length that the response announces; false when it announces none.
    [[nodiscard]] bool QueryContentLength(uint64_t& length) const;
    // Reads up to count bytes of the body; 0 at its end. Throws on failure.
    UINT Read(void* buffer, UINT count);
    void Close() { m_request.Close(); }

  private:
    CInternetHandle m_request;
    DWORD_PTR m_context;
};

// A connection to one HTTP server, the source of requests.
class CHttpConnection {
  public:
    explicit CHttpConnection(HINTERNET connection, DWORD_PTR context)
        : m_connection(connection), m_context(context) {}

    // Opens a request for the object (the path part of a URL); throws on failure.
    std::unique_ptr<CHttpFile> OpenRequest(const char* verb, const char* object,
                                           const char* referer = nullptr, DWORD_PTR context = 1,
                                           const char** acceptTypes = nullptr,
                                           const char* version = nullptr,
                                           DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);
    void Close() { m_connection.Close(); }

  private:
    CInternetHandle m_connection;
    DWORD_PTR m_context;
};

// An internet session; no agent name means the program's name. Throws when WinINet
// cannot open one.
class CInternetSession {
  public:
    explicit CInternetSession(const char* agent = nullptr, DWORD_PTR context = 1,
                              DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG,
                              const char* proxyName = nullptr, const char* proxyBypass = nullptr,
                              DWORD flags = 0);

    // Sets a number option of the session (timeouts); handles made later inherit it.
    [[nodiscard]] BOOL SetOption(DWORD option, DWORD value);
    // Connects to an HTTP server; port 0 is the standard one. Throws on failure.
    std::unique_ptr<CHttpConnection> GetHttpConnection(const char* server, INTERNET_PORT port = 0,
                                                       const char* userName = nullptr,
                                                       const char* password = nullptr);
    void Close() { m_session.Close(); }

  private:
    CInternetHandle m_session;
    DWORD_PTR m_context;
};

// Shows an error box as the class library does for its exceptions: the text, an OK
// button and the exclamation icon, captioned with the program's name.
void AfxReportError(HWND owner, const CString& text);
// The application's general message for a command that failed in an unforeseen way.
void AfxReportCommandFailure(HWND owner);

// The absolute URL that relative (absolute itself, or relative to base) stands for;
// FALSE when it cannot be made.
BOOL AfxCombineURL(const char* base, const char* relative, CString& url);
// Splits a URL into service type, server name, object (the path with its query,
// beginning with "/") and port (the scheme's standard port when none is written).
// FALSE when the text is not a URL with a server name.
BOOL AfxParseURL(const char* url, DWORD& serviceType, CString& server, CString& object,
                 INTERNET_PORT& port);
