#include "usage/DriveProbe.h"

#include <direct.h>

#include <string>

#include "classlib/WinText.h"

int DriveImage(UINT type) {
    switch (type) {
    case DRIVE_REMOVABLE: return 4;
    case DRIVE_REMOTE: return 5;
    case DRIVE_CDROM: return 3;
    }
    return 2;
}

std::vector<DriveRecord> ProbeDrives(const DriveFilter& filter) {
    std::vector<DriveRecord> drives;
    const int savedDrive = _getdrive();
    for (int i = 0; i < 26; ++i) {
        if (!filter.letters[i] || _chdrive(i + 1) != 0)
            continue;
        DriveRecord drive;
        drive.root.Format("%c:\\", 'A' + i);
        const std::wstring wideRoot = Widen(drive.root);

        drive.type = GetDriveTypeW(wideRoot.c_str());
        if ((drive.type == DRIVE_REMOVABLE && !filter.removable) ||
            (drive.type == DRIVE_CDROM && !filter.cdrom) ||
            (drive.type == DRIVE_REMOTE && !filter.network))
            continue;

        wchar_t label[256] = L"", fileSystem[256] = L"";
        DWORD serial = 0, maxComponent = 0, flags = 0;
        drive.haveVolume = GetVolumeInformationW(wideRoot.c_str(), label, 256, &serial,
                                                 &maxComponent, &flags, fileSystem, 256);
        drive.display = drive.root;
        if (drive.haveVolume) {
            drive.fileSystem = Narrow(fileSystem);
            if (filter.volumeLabel)
                drive.display = drive.root + " [" + Narrow(label) + "]";
        }

        if (filter.oldFreeSpace) {
            DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
            drive.haveSizes = GetDiskFreeSpaceW(wideRoot.c_str(), &sectorsPerCluster,
                                                &bytesPerSector, &freeClusters, &clusters);
            drive.free = static_cast<uint32_t>(freeClusters * sectorsPerCluster * bytesPerSector);
            drive.total = static_cast<uint32_t>(clusters * sectorsPerCluster * bytesPerSector);
        } else {
            ULARGE_INTEGER available{}, totalBytes{}, totalFree{};
            drive.haveSizes =
                GetDiskFreeSpaceExW(wideRoot.c_str(), &available, &totalBytes, &totalFree);
            drive.free = available.QuadPart;
            drive.total = totalBytes.QuadPart;
        }
        drives.push_back(drive);
    }
    _chdrive(savedDrive);
    return drives;
}
