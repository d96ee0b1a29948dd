// The program's four AVI clips: their headers as a player reads them, and each one
// opened and played by a real animation control.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <vfw.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "classlib/AnimateCtrl.h"
#include "classlib/WinApp.h"
#include "res/resource.h"
#include "support/AnimationProbe.h"

namespace {
struct Clip {
    UINT id;
    int width, height, frames;
    DWORD microseconds;
};

const Clip kClips[] = {
    {IDR_AVI_LAMP, 28, 28, 2, 500000},     {IDR_AVI_LAMP_150, 42, 42, 2, 500000},
    {IDR_AVI_LAMP_200, 56, 56, 2, 500000}, {IDR_AVI_HELP, 65, 128, 6, 100000},
    {IDR_AVI_ABOUT, 128, 128, 25, 100000}, {IDR_AVI_DEDICATION, 91, 131, 224, 10000}};

uint32_t Dword(const uint8_t* p) {
    uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

// What the headers of a clip say, and what its frame chunks hold.
struct AviFacts {
    std::map<std::string, const uint8_t*> chunks;
    int frameChunks = 0;
    uint32_t largestFrame = 0;
    std::string error;
};

// Walks the chunks of a RIFF list from begin to end, descending into lists.
void WalkChunks(const uint8_t* begin, const uint8_t* end, AviFacts& facts) {
    for (const uint8_t* p = begin; p + 8 <= end;) {
        const std::string id(reinterpret_cast<const char*>(p), 4);
        const uint32_t size = Dword(p + 4);
        if (p + 8 + size > end) {
            facts.error = "chunk " + id + " runs past its list";
            return;
        }
        if (id == "LIST") {
            WalkChunks(p + 12, p + 8 + size, facts);
        } else if (id == "00dc") {
            ++facts.frameChunks;
            facts.largestFrame = std::max(facts.largestFrame, size);
        } else {
            facts.chunks[id] = p + 8;
        }
        p += 8 + size + (size & 1);
    }
}

// The clip of the program's resources.
std::pair<const uint8_t*, DWORD> ClipResource(UINT id) {
    HMODULE module = AfxGetInstanceHandle();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"AVI");
    if (!found)
        return {nullptr, 0};
    return {static_cast<const uint8_t*>(LockResource(LoadResource(module, found))),
            SizeofResource(module, found)};
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

TEST(Animations, HeadersGiveSizeFramesRateAndRle8) {
    for (const Clip& clip : kClips) {
        SCOPED_TRACE(clip.id);
        const auto [data, size] = ClipResource(clip.id);
        ASSERT_NE(data, nullptr);
        ASSERT_GT(size, 12u);
        ASSERT_EQ(std::memcmp(data, "RIFF", 4), 0);
        ASSERT_EQ(std::memcmp(data + 8, "AVI ", 4), 0);
        EXPECT_EQ(Dword(data + 4) + 8, size);
        AviFacts facts;
        WalkChunks(data + 12, data + size, facts);
        ASSERT_EQ(facts.error, "");
        for (const char* need : {"avih", "strh", "strf", "idx1"})
            ASSERT_TRUE(facts.chunks.count(need)) << need;

        const MainAVIHeader* main = reinterpret_cast<const MainAVIHeader*>(facts.chunks["avih"]);
        EXPECT_EQ(main->dwMicroSecPerFrame, clip.microseconds);
        EXPECT_EQ(main->dwTotalFrames, static_cast<DWORD>(clip.frames));
        EXPECT_EQ(main->dwWidth, static_cast<DWORD>(clip.width));
        EXPECT_EQ(main->dwHeight, static_cast<DWORD>(clip.height));
        EXPECT_EQ(main->dwStreams, 1u);
        EXPECT_TRUE(main->dwFlags & AVIF_HASINDEX);
        EXPECT_GE(main->dwSuggestedBufferSize, facts.largestFrame);

        const AVIStreamHeader* stream =
            reinterpret_cast<const AVIStreamHeader*>(facts.chunks["strh"]);
        EXPECT_EQ(stream->fccType, streamtypeVIDEO);
        EXPECT_EQ(stream->dwLength, static_cast<DWORD>(clip.frames));
        // Frames per second as the ratio rate / scale.
        EXPECT_EQ(uint64_t{stream->dwScale} * 1000000,
                  uint64_t{stream->dwRate} * clip.microseconds);
        EXPECT_GE(stream->dwSuggestedBufferSize, facts.largestFrame);

        const BITMAPINFOHEADER* format =
            reinterpret_cast<const BITMAPINFOHEADER*>(facts.chunks["strf"]);
        EXPECT_EQ(format->biCompression, static_cast<DWORD>(BI_RLE8));
        EXPECT_EQ(format->biBitCount, 8);
        EXPECT_EQ(format->biWidth, clip.width);
        EXPECT_EQ(format->biHeight, clip.height);
        EXPECT_EQ(format->biClrUsed, 256u);
        EXPECT_EQ(format->biSizeImage, facts.largestFrame);

        EXPECT_EQ(facts.frameChunks, clip.frames);
        EXPECT_EQ(Dword(facts.chunks["idx1"] - 4), 16u * clip.frames);
    }
}

TEST(Animations, EachClipPlaysInAnAnimationControl) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &PlainWindowProc;
    windowClass.hInstance = AfxGetInstanceHandle();
    windowClass.lpszClassName = L"VoldixAnimationHost";
    windowClass.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    RegisterClassW(&windowClass);
    HWND host = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                200, nullptr, nullptr, AfxGetInstanceHandle(), nullptr);
    ASSERT_NE(host, nullptr);
    for (const Clip& clip : kClips) {
        SCOPED_TRACE(clip.id);
        CAnimateCtrl animate;
        const RECT rect{0, 0, 160, 160};
        ASSERT_TRUE(
            animate.Create(WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT, rect, host, 1000));
        ASSERT_TRUE(animate.Open(clip.id));
        ASSERT_TRUE(animate.Play(0, 0xFFFF, static_cast<UINT>(-1)));
        EXPECT_TRUE(WaitForPictures(animate, 2)) << "the clip does not play";
        // The ground of the clip is the parent's background; the picture is centred.
        const std::vector<uint32_t> picture = AnimationPicture(animate);
        ASSERT_EQ(picture.size(), 160u * 160u);
        const COLORREF face = GetSysColor(COLOR_3DFACE);
        const uint32_t faceRgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
        const int left = (160 - clip.width) / 2, top = (160 - clip.height) / 2;
        EXPECT_EQ(picture[top * 160 + left], faceRgb);
        int drawn = 0;
        for (int y = top; y < top + clip.height; ++y)
            for (int x = left; x < left + clip.width; ++x)
                drawn += picture[y * 160 + x] != faceRgb;
        EXPECT_GT(drawn, clip.width * clip.height / 5);
        EXPECT_TRUE(animate.Stop());
        DestroyWindow(animate);
        EXPECT_EQ(animate.GetSafeHwnd(), nullptr);
    }
    DestroyWindow(host);
}
