// CUsageDlg, drive list section: the top level of the usage view.
#include <algorithm>

#include "app/ShareBar.h"
#include "app/UsageDlg.h"
#include "usage/DriveProbe.h"
#include "usage/Format.h"

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
    SetColumnTitle(2, "Belegt");
    SetColumnTitle(3, "Frei");
    SetColumnTitle(4, "System");

    DriveFilter filter;
    for (int i = 0; i < 26; ++i)
        filter.letters[i] = m_driveLetters[i];
    filter.removable = m_showRemovable;
    filter.cdrom = m_showCdrom;
    filter.network = m_showNetwork;
    filter.volumeLabel = m_showVolumeLabel;
    filter.oldFreeSpace = m_useOldFreeSpace;
    int row = 0;
    for (const DriveRecord& drive : ProbeDrives(filter)) {
        const int image = DriveImage(drive.type);
        SetCell(row, 0, drive.display, image);
        if (drive.haveSizes) {
            const DriveCells cells = FormatDriveCells(drive.total, drive.free);
            SetCell(row, 1, cells.size, image);
            SetCell(row, 2, cells.used, image);
            SetCell(row, 3, cells.free, image);
            m_list.SetItemData(row, ShareItemData(drive.total - std::min(drive.free, drive.total),
                                                  drive.total, true));
            if (drive.haveVolume)
                SetCell(row, 4, drive.fileSystem, image);
        }
        AddEntry(UsageEntry(drive.root, true, 0, CTime(0), 0));
        ++row;
    }
}
