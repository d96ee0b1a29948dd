// Voldix.exe's About box, opened from the menu bar and from the system menu, and the
// About box of a copy of the program that lacks its version resource and its clip.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "classlib/WinText.h"
#include "dialogs/AboutDlg.h"
#include "res/resource.h"
#include "support/RemoteProgram.h"
#include "support/ScratchFolder.h"
#include "support/WindowDriver.h"

namespace {
// The About box over the program's main window, waited for.
HWND WaitForAbout(const RemoteProgram& program) {
    HWND about = WaitForWindowTitled(program.ProcessId(), L"Info über Voldix");
    EXPECT_TRUE(!about || GetWindow(about, GW_OWNER) == program.Window());
    return about;
}

uint32_t Read32(const std::string& image, size_t at) {
    uint32_t value = 0;
    if (at + 4 <= image.size())
        std::memcpy(&value, image.data() + at, 4);
    return value;
}

uint16_t Read16(const std::string& image, size_t at) {
    return static_cast<uint16_t>(Read32(image, at) & 0xFFFF);
}

// The file offset of an executable's resource directory, or 0.
uint32_t ResourceRoot(const std::string& image) {
    const uint32_t pe = Read32(image, 0x3C);
    const uint16_t sections = Read16(image, pe + 6);
    const uint32_t optional = pe + 24;
    const bool plus = Read16(image, optional) == 0x20B;
    const uint32_t rva = Read32(image, optional + (plus ? 112 : 96) + 2 * 8);
    const uint32_t table = optional + Read16(image, pe + 20);
    for (uint16_t i = 0; i < sections; ++i) {
        const uint32_t section = table + 40u * i;
        const uint32_t start = Read32(image, section + 12), size = Read32(image, section + 8);
        if (rva >= start && rva < start + size)
            return rva - start + Read32(image, section + 20);
    }
    return 0;
}

// Gives the entry id of a resource directory (at file offset directory) a new id.
bool RenumberEntry(std::string& image, uint32_t directory, uint16_t id, uint16_t newId) {
    const uint32_t entries = directory + 16;
    const int count = Read16(image, directory + 12) + Read16(image, directory + 14);
    for (int i = 0; i < count; ++i) {
        if (Read32(image, entries + 8 * i) == id) {
            const uint32_t value = newId;
            std::memcpy(&image[entries + 8 * i], &value, 4);
            return true;
        }
    }
    return false;
}

// The file offset of the subdirectory that a named entry of the directory leads to.
uint32_t NamedSubdirectory(const std::string& image, uint32_t root, const wchar_t* name) {
    const int named = Read16(image, root + 12);
    for (int i = 0; i < named; ++i) {
        const uint32_t entry = root + 16 + 8 * i;
        const uint32_t text = root + (Read32(image, entry) & 0x7FFFFFFF);
        std::wstring entryName;
        for (uint16_t c = 0; c < Read16(image, text); ++c)
            entryName += static_cast<wchar_t>(Read16(image, text + 2 + 2 * c));
        if (entryName == name)
            return root + (Read32(image, entry + 4) & 0x7FFFFFFF);
    }
    return 0;
}

// Closes the About box with its OK button and waits until it is gone.
bool CloseAbout(HWND about) {
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return WaitFor([&] { return !IsWindow(about); });
}
} // namespace

TEST(EndToEnd, AboutBoxFromTheMenuBarAndTheSystemMenu) {
    RemoteProgram program;
    ASSERT_TRUE(program.Start());
    // The menu bar's "&Info über Voldix", then the system menu's "Inf&o über Voldix...".
    const std::pair<UINT, WPARAM> ways[] = {{WM_COMMAND, MAKEWPARAM(IDM_ABOUTBOX, 0)},
                                            {WM_SYSCOMMAND, IDM_ABOUTBOX}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.first);
        PostMessageW(program.Window(), way.first, way.second, 0);
        HWND about = WaitForAbout(program);
        ASSERT_NE(about, nullptr) << "no About box";
        EXPECT_EQ(ItemText(about, IDC_ABOUT_VERSION), "Voldix Version (1.0.0.21)");
        EXPECT_EQ(ItemText(about, IDC_ABOUT_COMMENT), "Release 28.02.2007");
        EXPECT_FALSE(IsWindowEnabled(program.Window()));
        ASSERT_TRUE(CloseAbout(about));
        EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(program.Window()) != FALSE; }));
    }
    DWORD code = 1;
    EXPECT_NE(program.CloseAndTime(10000, &code), INFINITE);
    EXPECT_EQ(code, 0u);
}

TEST(EndToEnd, AboutBoxWithoutVersionResourceOrClip) {
    ScratchFolder folder;
    const std::wstring copy = Widen(folder.Path("Voldix.exe"));
    ASSERT_TRUE(CopyFileW(BesideTestProgram(L"Voldix.exe").c_str(), copy.c_str(), FALSE));
    // The copy's version resource becomes type 15 and its clip 131 becomes clip 130:
    // neither is found any more, and the directory stays in its sorted order.
    std::string image = ReadBytes(folder.Path("Voldix.exe"));
    const uint32_t root = ResourceRoot(image);
    ASSERT_NE(root, 0u);
    ASSERT_TRUE(RenumberEntry(image, root, 16, 15));
    const uint32_t clips = NamedSubdirectory(image, root, L"AVI");
    ASSERT_NE(clips, 0u);
    ASSERT_TRUE(RenumberEntry(image, clips, IDR_AVI_ABOUT, IDR_AVI_ABOUT - 1));
    WriteBytes(folder.Path("Voldix.exe"), image);
    HMODULE data = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(FindResourceW(data, MAKEINTRESOURCEW(IDR_AVI_ABOUT), L"AVI"), nullptr);
    EXPECT_NE(FindResourceW(data, MAKEINTRESOURCEW(IDR_AVI_DEDICATION), L"AVI"), nullptr);
    FreeLibrary(data);

    RemoteProgram program;
    ASSERT_TRUE(program.Start(15000, false, copy));
    PostMessageW(program.Window(), WM_COMMAND, MAKEWPARAM(IDM_ABOUTBOX, 0), 0);
    HWND about = WaitForAbout(program);
    ASSERT_NE(about, nullptr) << "no About box";
    EXPECT_EQ(ItemText(about, IDC_ABOUT_VERSION), "Voldix Version ()");
    EXPECT_EQ(ItemText(about, IDC_ABOUT_COPYRIGHT), "");
    EXPECT_EQ(ItemText(about, IDC_ABOUT_COMMENT), "");
    EXPECT_EQ(ItemText(about, IDC_ABOUT_FEEDBACK), kFeedbackAddress);
    EXPECT_TRUE(CloseAbout(about));
    DWORD code = 1;
    EXPECT_NE(program.CloseAndTime(10000, &code), INFINITE);
    EXPECT_EQ(code, 0u);
}
