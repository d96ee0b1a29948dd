// Fuzz target of the update list parser: any bytes as a list file, then the search and
// the freeing; AddressSanitizer reports any access outside the records and any leak.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "update/UpdateList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UpdateEntry* head = ParseUpdateList(reinterpret_cast<const char*>(data), size);
    size_t total = 0;
    for (const UpdateEntry* e = head; e; e = e->next) {
        for (const char* text : {e->name, e->path, e->fileName})
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
