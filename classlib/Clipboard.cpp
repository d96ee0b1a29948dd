#include "Clipboard.h"

#include <cstring>
#include <string>

#include "WinText.h"

namespace {
// A global memory block, freed unless handed over.
class GlobalBlock {
  public:
    explicit GlobalBlock(SIZE_T bytes)
        : m_block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes)) {}
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    ~GlobalBlock() {
        if (m_block)
            GlobalFree(m_block);
    }
    HGLOBAL Get() const { return m_block; }
    HGLOBAL Release() {
        HGLOBAL block = m_block;
        m_block = nullptr;
        return block;
    }

  private:
    HGLOBAL m_block;
};

// The clipboard, open for as long as this lives.
class ClipboardOpen {
  public:
    explicit ClipboardOpen(HWND owner) : m_open(OpenClipboard(owner) != FALSE) {}
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;
    ~ClipboardOpen() {
        if (m_open)
            CloseClipboard();
    }
    bool IsOpen() const { return m_open; }

  private:
    bool m_open;
};
} // namespace

bool CopyTextToClipboard(HWND owner, const CString& text) {
    const std::wstring wide = Widen(text);
    GlobalBlock block((wide.size() + 1) * sizeof(wchar_t));
    if (!block.Get())
        return false;
    void* memory = GlobalLock(block.Get());
    if (!memory)
        return false;
    std::memcpy(memory, wide.data(), wide.size() * sizeof(wchar_t));
    GlobalUnlock(block.Get());

    ClipboardOpen clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard())
        return false;
    if (!SetClipboardData(CF_UNICODETEXT, block.Get()))
        return false;
    block.Release(); // the clipboard owns it now
    return true;
}
