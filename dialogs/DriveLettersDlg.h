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
    // The control id of a letter's check box (0 = A:); the ids are not one run.
    int CheckId(int index) const { return m_checkIds[index]; }

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

  private:
    bool m_letters[26] = {};
    int m_checkIds[26];
};
