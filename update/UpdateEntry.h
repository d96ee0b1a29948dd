#pragma once
// UpdateEntry: one record of the update list, a plain block with owned texts, also used
// to carry the program's own version. Records are made and freed by the update list's
// functions (update/UpdateList.h); none of this needs Windows.
#include "classlib/Time.h"

// One line of the update list: program key, version, release date, download size and
// where the download lies on the server, and the download's signature. Texts are owned
// malloc blocks or null.
struct UpdateEntry {
    char* name;
    int version[4];
    COleDateTime date;
    int sizeUnit;
    int size;
    char* path;
    char* fileName;
    // The eleventh field, after the ten that every reader of the list knows.
    char* signature;
    UpdateEntry* next;
};
