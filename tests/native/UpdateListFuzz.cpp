// Fuzz target of the update list parser: any bytes as a list file, then the search, the
// signature field, the signed message and the download name rule of every record, and
// the freeing; AddressSanitizer reports any access outside the records and any leak.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "update/UpdateList.h"
#include "update/UpdateSignature.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UpdateEntry* head = ParseUpdateList(reinterpret_cast<const char*>(data), size);
    size_t total = 0;
    for (const UpdateEntry* e = head; e; e = e->next) {
        unsigned char signature[kSignatureBytes], key[kPublicKeyBytes];
        const unsigned char digest[kSha256Bytes] = {0};
        // 128 hex digits are a well-formed signature and key alike.
        if (ParseSignatureField(e->signature, signature) && !ParsePublicKey(e->signature, key))
            __builtin_trap();
        total += SignedUpdateMessage(e->name, e->version, e->fileName, digest).size() > 0;
        // A name the rule lets through is short, plain ASCII and ends in ".zip".
        if (!DownloadNameFault(e->fileName)) {
            const size_t length = std::strlen(e->fileName);
            if (length > kDownloadNameLength || length < 5 ||
                std::strspn(e->fileName, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                         "0123456789._-") != length ||
                (e->fileName[length - 4] != '.'))
                __builtin_trap();
        }
        for (const char* text : {e->name, e->path, e->fileName, e->signature})
            if (text)
                total += std::strlen(text) + 1;
        const int own[4] = {1, 0, 0, 21};
        total += IsVersionGreater(e->version, own);
    }
    // Every text is a copy of part of the input, so they cannot add up to more.
    if (total > 2 * size + 64)
        __builtin_trap();
    // Read in two blocks for one key, the list gives the same record as read whole.
    CUpdateListReader reader("voldix");
    reader.Add(reinterpret_cast<const char*>(data), size / 3);
    reader.Add(reinterpret_cast<const char*>(data) + size / 3, size - size / 3);
    UpdateEntry* kept = reader.Finish();
    const UpdateEntry* found = FindUpdateEntry("voldix", head);
    if (!found != !kept || (kept && (kept->next || std::memcmp(kept->version, found->version,
                                                               sizeof(kept->version)) != 0)))
        __builtin_trap();
    FreeUpdateList(kept);
    FreeUpdateList(head);
    return 0;
}
