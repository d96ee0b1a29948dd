#include "dialogs/FrameAnimation.h"

#include <commctrl.h>

#include "classlib/WinText.h"

void SetItemText(HWND dialog, int id, const CString& text) {
    SetDlgItemTextW(dialog, id, Widen(text).c_str());
}

void PlayInFrame(HWND dialog, int frameId, UINT clip, CAnimateCtrl& animate) {
    HWND frame = GetDlgItem(dialog, frameId);
    if (!frame)
        return;
    RECT rect;
    GetClientRect(frame, &rect);
    if (!animate.Create(WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT, rect, frame,
                        static_cast<UINT>(frameId)))
        return;
    if (animate.Open(clip))
        animate.Play(0, 0xFFFF, static_cast<UINT>(-1));
}
