// CUsageDlg, drive list section: the top level of the usage view.
#include <direct.h>

#include "app/UsageDlg.h"
#include "classlib/WinText.h"
#include "usage/Format.h"

namespace {
// Images of the drive rows, by drive type.
int DriveImage(UINT type) {
    switch (type) {
    case DRIVE_REMOVABLE: return 4;
    case DRIVE_REMOTE: return 5;
    case DRIVE_CDROM: return 3;
    }
    return 2;
}
} // namespace

void CUsageDlg::ShowDriveList() {
    m_depth = 0;
    m_currentPath.Empty();
    m_pathStack.RemoveAll();
    m_list.DeleteAllItems();
    ClearEntries();
    FillDriveList();
    UpdateCaption();
}

void CUsageDlg::FillDriveList() {
    const int savedDrive = _getdrive();
    SetColumnTitle(2, "Belegt");
    SetColumnTitle(3, "Frei");
    SetColumnTitle(4, "System");

    int row = 0;
    for (int i = 0; i < 26; ++i) {
        if (!m_driveLetters[i] || _chdrive(i + 1) != 0)
            continue;
        CString root;
        root.Format("%c:\\", 'A' + i);
        const std::wstring wideRoot = Widen(root);

        const UINT type = GetDriveTypeW(wideRoot.c_str());
        if ((type == DRIVE_REMOVABLE && !m_showRemovable) ||
            (type == DRIVE_CDROM && !m_showCdrom) || (type == DRIVE_REMOTE && !m_showNetwork))
            continue;
        const int image = DriveImage(type);

        wchar_t label[256] = L"", fileSystem[256] = L"";
        DWORD serial = 0, maxComponent = 0, flags = 0;
        const bool haveVolume = GetVolumeInformationW(wideRoot.c_str(), label, 256, &serial,
                                                      &maxComponent, &flags, fileSystem, 256);
        CString display = root;
        if (m_showVolumeLabel && haveVolume)
            display = root + " [" + Narrow(label) + "]";
        SetCell(row, 0, display, image);

        uint64_t free = 0, total = 0;
        bool haveSizes;
        if (m_useOldFreeSpace) {
            DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
            haveSizes = GetDiskFreeSpaceW(wideRoot.c_str(), &sectorsPerCluster, &bytesPerSector,
                                          &freeClusters, &clusters);
            free = static_cast<uint32_t>(freeClusters * sectorsPerCluster * bytesPerSector);
            total = static_cast<uint32_t>(clusters * sectorsPerCluster * bytesPerSector);
        } else {
            ULARGE_INTEGER available{}, totalBytes{}, totalFree{};
            haveSizes = GetDiskFreeSpaceExW(wideRoot.c_str(), &available, &totalBytes, &totalFree);
            free = available.QuadPart;
            total = totalBytes.QuadPart;
        }
        m_totalSize = total;
        if (haveSizes) {
            const DriveCells cells = FormatDriveCells(total, free);
            SetCell(row, 1, cells.size, image);
            SetCell(row, 2, cells.used, image);
            SetCell(row, 3, cells.free, image);
            if (haveVolume)
                SetCell(row, 4, Narrow(fileSystem), image);
        }
        AddEntry(UsageEntry(root, true, 0, CTime(0), 0));
        ++row;
    }
    _chdrive(savedDrive);
}
