#pragma once
// The download of a file over HTTP or HTTPS: bounded in size and time, verified against
// its signature, stored through a temporary file that replaces the target only at the end.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Internet.h"
#include "classlib/String.h"
#include "update/UpdateEntry.h"

// Most bytes accepted for a download.
constexpr uint64_t kDownloadLimit = 256u << 20;
// How long a connection may take to open, and the server to answer or send more data.
constexpr DWORD kInternetTimeoutMs = 15000;
// How long a whole transfer may take: this, and 1 s more per 10 KB announced or
// received, whichever is more.
constexpr DWORD kTransferBaseMs = 30000;
constexpr uint64_t kTransferBytesPerSecond = 10240;

// The public key (hex, update/UpdateSignature.h) that downloads must be signed with.
extern const char kUpdatePublicKey[];

// Deletes the temporary files that downloads ended by force (a program killed meanwhile)
// left in folder (ending in a backslash).
void RemoveLeftoverDownloads(const std::wstring& folder);
// A new session with the transfer timeouts set; throws when none can be opened, or its
// transfers could not be bounded.
std::unique_ptr<CInternetSession> OpenSession();
// Downloads url (HTTP, or HTTPS with the system's full certificate checks) to localPath
// through a temporary file beside it, which replaces localPath only when the body is
// complete, at most sizeLimit bytes long, came within the time limit (baseMs and the
// time its size adds), and, when signedRecord is given, carries that record's valid
// signature. On failure nothing is left behind; errorText receives the reason unless
// an exception was reported in its own box.
bool HttpDownload(CInternetSession& session, const char* url, const char* localPath,
                  CString& errorText, uint64_t sizeLimit, HWND owner,
                  const UpdateEntry* signedRecord = nullptr, DWORD baseMs = kTransferBaseMs);
