#pragma once
// Scratch folders on the test drive and raw file access that does not go through the
// classes under test.
#include <string>

#include "classlib/String.h"

// A fresh folder P:\<name>\ that is removed with everything in it at the end.
class TempFolder {
  public:
    explicit TempFolder(const char* name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path with a trailing backslash, followed by name.
    CString Path(const char* name = "") const { return m_path + name; }

  private:
    CString m_path;
};

void RemoveTree(const CString& path);
// The whole content of a file; empty when it cannot be read.
std::string ReadBytes(const CString& path);
void WriteBytes(const CString& path, const std::string& bytes);
bool FileExists(const CString& path);
bool FolderExists(const CString& path);
