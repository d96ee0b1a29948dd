// Fuzz target of the update list parser: any bytes as a list file, then the search, the
// signature field and the signed message of every record, and the freeing;
// AddressSanitizer reports any access outside the records and any leak.
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
        for (const char* text : {e->name, e->path, e->fileName, e->signature})
            if (text)
                total += std::strlen(text) + 1;
        const int own[4] = {1, 0, 0, 21};
        total += IsVersionGreater(e->version, own);
    }
    // Every text is a copy of part of the input, so they cannot add up to more.
    if (total > 2 * size + 64)
        __builtin_trap();
    FindUpdateEntry("voldix", head);
    FreeUpdateList(head);
    return 0;
}
