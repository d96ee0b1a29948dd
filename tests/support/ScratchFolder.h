#pragma once
// A scratch folder for the running test, and raw file access that does not go through
// the classes under test.
#include <string>

#include "classlib/String.h"

// A fresh folder named after the running test ("P:\Suite_Case\"), removed with everything
// in it before and at the end. Construct it inside a test or a test fixture.
class ScratchFolder {
  public:
    explicit ScratchFolder(char drive = 'P');
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's own name, as a list of its parent shows it.
    const CString& Name() const { return m_name; }
    // The folder's path with a trailing backslash, followed by relative.
    CString Path(const char* relative = "") const { return m_path + relative; }

  private:
    CString m_name, m_path;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadBytes(const CString& path);
void WriteBytes(const CString& path, const std::string& bytes);
bool FileExists(const CString& path);
bool FolderExists(const CString& path);
