#pragma once
// The download of a file over HTTP or HTTPS: bounded in size and time, verified against
// its signature, stored through a temporary file that replaces the target only at the end.
#include <windows.h>

#include <cstdint>
#include <string>

#include "classlib/Internet.h"
#include "classlib/String.h"
#include "update/UpdateEntry.h"

// Most bytes accepted for a download.
constexpr uint64_t kDownloadLimit = 256u << 20;
// How long a connection may take to open, and the server to answer or send more data.
constexpr DWORD kInternetTimeoutMs = 15000;
// How long a download may take in all, whatever the server announces or sends.
constexpr DWORD kDownloadTimeLimitMs = 600000;
// How many redirects a transfer follows, each to the same scheme.
constexpr int kMaxRedirects = 3;

// The public key (hex, update/UpdateSignature.h) that downloads must be signed with.
extern const char kUpdatePublicKey[];

// Deletes the temporary files that downloads ended by force (a program killed meanwhile)
// left in folder (ending in a backslash).
void RemoveLeftoverDownloads(const std::wstring& folder);
// Downloads url (HTTP, or HTTPS with the system's full certificate checks) to localPath
// through a temporary file beside it, on a worker thread while owner waits as under a
// modal box (classlib/ModalWait.h). The file replaces localPath only when the server
// answered 200, after at most kMaxRedirects redirects of the same scheme, with a
// complete body of at most sizeLimit bytes within limitMs in all, which carries the
// valid signature of signedRecord when one is given. On failure nothing is left behind
// (a worker given up deletes its file when it ends); errorText receives the reason
// ("Error: Zeitüberschreitung" past the limit) unless an exception was reported in its
// own box, or the program is being closed (closing is then set).
bool HttpDownload(const char* url, const char* localPath, CString& errorText, uint64_t sizeLimit,
                  HWND owner, DWORD limitMs, const UpdateEntry* signedRecord = nullptr,
                  bool* closing = nullptr);
