#include "ListCtrl.h"

#include <vector>

#include "WinText.h"

int CListCtrl::InsertColumn(int column, const CString& heading, int format, int width) const {
    std::wstring text = Widen(heading);
    LVCOLUMNW col{};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = width;
    col.pszText = &text[0];
    col.iSubItem = column;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&col)));
}

BOOL CListCtrl::SetColumnHeading(int column, const CString& heading) const {
    // Width and sub-item are read and written back with the text, so that the
    // column keeps the width the user gave it.
    LVCOLUMNW col{};
    col.mask = LVCF_WIDTH | LVCF_SUBITEM;
    if (!SendMessage(LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&col)))
        return FALSE;
    std::wstring text = Widen(heading);
    col.mask = LVCF_WIDTH | LVCF_SUBITEM | LVCF_TEXT;
    col.pszText = &text[0];
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::GetColumnWidth(int column) const {
    return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, column));
}

BOOL CListCtrl::SetColumnWidth(int column, int width) const {
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)));
}

int CListCtrl::GetColumnCount() const {
    HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int CListCtrl::InsertItem(int row, const CString& text, int image, LPARAM data) const {
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = &wide[0];
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItem(int row, int column, const CString& text, int image) const {
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = &wide[0];
    item.iImage = image;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemData(int row, LPARAM data) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = data;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int row, int column) const {
    std::vector<wchar_t> buffer(1024);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    int length =
        static_cast<int>(SendMessage(LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    return Narrow(buffer.data(), length);
}

int CListCtrl::GetItemCount() const {
    return static_cast<int>(SendMessage(LVM_GETITEMCOUNT));
}

BOOL CListCtrl::DeleteAllItems() const {
    return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS));
}

BOOL CListCtrl::EnsureVisible(int row, BOOL partialOk) const {
    return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, row, partialOk));
}

int CListCtrl::SetSelectionMark(int row) const {
    return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, row));
}

int CListCtrl::GetNextItem(int start, int flags) const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)));
}

BOOL CListCtrl::SetItemState(int row, UINT state, UINT mask) const {
    LVITEMW item{};
    item.mask = LVIF_STATE;
    item.iItem = row;
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item)));
}

HIMAGELIST CListCtrl::SetImageList(HIMAGELIST images, int which) const {
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(images)));
}
