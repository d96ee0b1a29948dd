#pragma once
// The update check: the update list fetched over HTTP, the program's record compared
// with its own version, the offered download stored next to the program.
#include <windows.h>

#include <cstdint>

#include "classlib/Internet.h"
#include "classlib/String.h"
#include "update/UpdateEntry.h"

// Most bytes accepted for the update list and for a download.
constexpr uint64_t kUpdateListLimit = 1u << 20;
constexpr uint64_t kDownloadLimit = 256u << 20;
// How long a connection may take to open, and the server to answer or send more data.
constexpr DWORD kInternetTimeoutMs = 15000;
// How long a whole transfer may take: this, and 1 s more per 10 KB announced or
// received, whichever is more.
constexpr DWORD kTransferBaseMs = 30000;
constexpr uint64_t kTransferBytesPerSecond = 10240;

// The public key (hex, update/UpdateSignature.h) that downloads must be signed with.
extern const char kUpdatePublicKey[];

// The update server's base URL, ending in "/": VOLDIX_UPDATE_URL when it is set,
// otherwise the one the program was built with.
CString UpdateBaseUrl();
// Asks the server whether a newer version of the program key exists, offers it and
// downloads it next to the program; every result is told in boxes owned by owner.
// True only when a newer version was downloaded.
bool CheckForUpdate(const char* key, HWND owner);
// The first record of key in the update list at url, or null; the caller frees it with
// FreeUpdateList. A failed transfer shows only the error box of an internet or file
// exception.
UpdateEntry* FetchUpdateRecord(const char* url, const char* key, HWND owner);
// Downloads url (HTTP, or HTTPS with the system's full certificate checks) to localPath
// through a temporary file beside it, which replaces localPath only when the body is
// complete, at most sizeLimit bytes long, came within the time limit (baseMs and the
// time its size adds), and, when signedRecord is given, carries that record's valid
// signature. On failure nothing is left behind; errorText receives the reason unless
// an exception was reported in its own box.
bool HttpDownload(CInternetSession& session, const char* url, const char* localPath,
                  CString& errorText, uint64_t sizeLimit, HWND owner,
                  const UpdateEntry* signedRecord = nullptr, DWORD baseMs = kTransferBaseMs);
// True when the remote record's version is greater than the program's own, which is
// read into local; false when the own version cannot be read.
bool IsNewerVersion(const UpdateEntry* remote, UpdateEntry* local);
