#include "AnimationProbe.h"

#include <algorithm>

#include "WindowDriver.h"

namespace {
// Painted where the control draws nothing.
const uint32_t kUnpainted = 0xFF00FF;
} // namespace

std::vector<uint32_t> AnimationPicture(HWND animation) {
    RECT client{};
    GetClientRect(animation, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0)
        return {};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH unpainted = CreateSolidBrush(RGB(0xFF, 0x00, 0xFF));
    FillRect(memory, &client, unpainted);
    DeleteObject(unpainted);
    SendMessageW(animation, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    GdiFlush();
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> picture(pixels, pixels + width * height);
    for (uint32_t& p : picture)
        p &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (std::all_of(picture.begin(), picture.end(), [](uint32_t p) { return p == kUnpainted; }))
        return {};
    return picture;
}

bool WaitForPictures(HWND animation, size_t count, DWORD timeoutMs) {
    std::vector<std::vector<uint32_t>> seen;
    return WaitFor(
        [&] {
            std::vector<uint32_t> picture = AnimationPicture(animation);
            if (!picture.empty() && std::find(seen.begin(), seen.end(), picture) == seen.end())
                seen.push_back(picture);
            return seen.size() >= count;
        },
        timeoutMs);
}
