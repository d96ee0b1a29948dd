#pragma once
// CDriveTypesDlg: chooses which kinds of drive the drive list shows besides fixed disks.
#include "classlib/Dialog.h"

// The drive types dialog: removable media, CD-ROM/DVD and network drives, one check box
// each. The flags are copied in before DoModal and read back after it ended with OK.
class CDriveTypesDlg : public CDialog {
  public:
    explicit CDriveTypesDlg(CWnd* parent = nullptr);

    void SetTypeFlags(bool removable, bool cdrom, bool network);
    void GetTypeFlags(bool& removable, bool& cdrom, bool& network) const;

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

  private:
    bool m_removable = false;
    bool m_cdrom = false;
    bool m_network = false;
};
