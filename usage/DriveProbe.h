#pragma once
// The drive probe: which drives the drive list shows, and what it reads of each.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "classlib/String.h"

// Which drives are listed and how: the letter flags A to Z, the three type filters (a
// fixed disk is never hidden by type), the volume label in the name, and the free space
// call of Windows 95 before OSR2.
struct DriveFilter {
    bool letters[26] = {};
    bool removable = false;
    bool cdrom = false;
    bool network = false;
    bool volumeLabel = false;
    bool oldFreeSpace = false;
};

// One listed drive.
struct DriveRecord {
    CString root;    // "P:\"
    CString display; // the root, and " [label]" after it when the label is shown
    UINT type = DRIVE_UNKNOWN;
    bool haveVolume = false; // the volume information (label, file system) could be read
    CString fileSystem;
    bool haveSizes = false;
    uint64_t total = 0;
    uint64_t free = 0; // available to the user
};

// The drives the filter admits, in the order of their letters. Each letter is tried by
// making it the current drive, which is restored afterwards.
std::vector<DriveRecord> ProbeDrives(const DriveFilter& filter);
// The image of a drive row by its type: 2 fixed, 3 CD-ROM, 4 removable, 5 network.
int DriveImage(UINT type);
