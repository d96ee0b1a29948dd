#pragma once
// CImageList: an image list that owns its handle.
#include <windows.h>

#include <commctrl.h>

// Small images for a list view; destroyed with the object.
class CImageList {
  public:
    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList() {
        if (m_handle)
            ImageList_Destroy(m_handle);
    }
    // Makes a new, empty list in place of the one held; the old one stays on failure.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
        HIMAGELIST created = ImageList_Create(cx, cy, flags | ILC_COLOR32, initial, grow);
        if (!created)
            return FALSE;
        if (m_handle)
            ImageList_Destroy(m_handle);
        m_handle = created;
        return TRUE;
    }
    int Add(HICON icon) { return ImageList_AddIcon(m_handle, icon); }
    int GetImageCount() const { return ImageList_GetImageCount(m_handle); }
    HIMAGELIST GetSafeHandle() const { return m_handle; }

  private:
    HIMAGELIST m_handle = nullptr;
};
