#pragma once
// CDriveLettersDlg: chooses which drive letters, A: to Z:, the drive list shows.
#include "classlib/Dialog.h"

// The drive letters dialog: one check box per letter. The flags are copied in before
// DoModal and read back after it ended with OK.
class CDriveLettersDlg : public CDialog {
  public:
    explicit CDriveLettersDlg(CWnd* parent = nullptr);

    // Copies 26 flags in, index 0 standing for A:.
    void SetLetterFlags(const bool* letters);
    // Copies the 26 flags out.
    void GetLetterFlags(bool* letters) const;

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

  private:
    bool m_letters[26] = {};
    // The control id of each letter's check box; the ids are not one run.
    int m_checkIds[26];
};
