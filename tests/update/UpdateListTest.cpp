// The update list parser: fields, missing ";", dates, comments, long lines, the search
// by key, the version order, the name rule and the signature field. Runs under Wine and natively
// with the sanitizers, whose leak check also covers FreeUpdateList.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "update/UpdateList.h"
#include "update/UpdateSignature.h"

#ifdef VOLDIX_HEAP_HOOKS
#include <sanitizer/allocator_interface.h>

#include <algorithm>
#endif

namespace {
// The list made of text, freed when this ends; its records in file order.
struct ParsedList {
    explicit ParsedList(const std::string& text) : head(ParseUpdateList(text.data(), text.size())) {
        for (UpdateEntry* e = head; e; e = e->next)
            records.push_back(e);
    }
    ~ParsedList() { FreeUpdateList(head); }
    UpdateEntry* head;
    std::vector<UpdateEntry*> records;
};

std::string Text(const char* text) {
    return text ? text : "<none>";
}

void ExpectVersion(const UpdateEntry* e, int a, int b, int c, int d) {
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->version[0], a);
    EXPECT_EQ(e->version[1], b);
    EXPECT_EQ(e->version[2], c);
    EXPECT_EQ(e->version[3], d);
}

bool DateIsZero(const COleDateTime& date) {
    return date.GetYear() == 0 && date.GetMonth() == 0 && date.GetDay() == 0 &&
           date.GetStatus() == COleDateTime::valid;
}
} // namespace

TEST(UpdateList, CompleteLineFillsEveryField) {
    ParsedList list("voldix;1;0;0;22;2007.3.15;1;350;Updates/;voldix.zip;rest ignored\r\n");
    ASSERT_EQ(list.records.size(), 1u);
    const UpdateEntry* e = list.head;
    EXPECT_EQ(Text(e->name), "voldix");
    ExpectVersion(e, 1, 0, 0, 22);
    EXPECT_EQ(e->date.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(e->date.GetYear(), 2007);
    EXPECT_EQ(e->date.GetMonth(), 3);
    EXPECT_EQ(e->date.GetDay(), 15);
    EXPECT_EQ(e->sizeUnit, 1);
    EXPECT_EQ(e->size, 350);
    EXPECT_EQ(Text(e->path), "Updates/");
    EXPECT_EQ(Text(e->fileName), "voldix.zip");
}

TEST(UpdateList, MissingSemicolonsLeaveTheRestEmpty) {
    ParsedList list("no semicolon at all\n"
                    "voldix;1;0;0;22;\n"
                    "voldix;1;0;0;22;2007.3.15;1;350;Updates/;voldix.zip\n"
                    "x;;; 7;abc;;9x;-3;;;\n"
                    "big;99999999999;-99999999999;0;0;\n");
    ASSERT_EQ(list.records.size(), 5u);
    const UpdateEntry* bare = list.records[0];
    EXPECT_EQ(bare->name, nullptr);
    ExpectVersion(bare, -1, -1, -1, -1);
    EXPECT_EQ(bare->sizeUnit, -1);
    EXPECT_EQ(bare->size, -1);
    EXPECT_EQ(bare->path, nullptr);
    EXPECT_EQ(bare->fileName, nullptr);

    const UpdateEntry* versionOnly = list.records[1];
    EXPECT_EQ(Text(versionOnly->name), "voldix");
    ExpectVersion(versionOnly, 1, 0, 0, 22);
    EXPECT_TRUE(DateIsZero(versionOnly->date));
    EXPECT_EQ(versionOnly->sizeUnit, -1);
    EXPECT_EQ(versionOnly->size, -1);
    EXPECT_EQ(versionOnly->path, nullptr);
    EXPECT_EQ(versionOnly->fileName, nullptr);

    const UpdateEntry* lastOpen = list.records[2];
    EXPECT_EQ(Text(lastOpen->path), "Updates/");
    EXPECT_EQ(lastOpen->fileName, nullptr);

    // Empty fields read as 0 or no text; blanks before a number are skipped.
    const UpdateEntry* odd = list.records[3];
    ExpectVersion(odd, 0, 0, 7, 0);
    EXPECT_EQ(odd->sizeUnit, 9);
    EXPECT_EQ(odd->size, -3);
    EXPECT_EQ(odd->path, nullptr);
    EXPECT_EQ(odd->fileName, nullptr);

    ExpectVersion(list.records[4], 2147483647, -2147483647 - 1, 0, 0);
}

TEST(UpdateList, DateNeedsThreePositiveNumbers) {
    const std::pair<const char*, int> fields[] = {
        {"2007.3", 0}, {"2007..15", 0}, {"0.3.15", 0}, {"2007.3.", 0}, {"", 0}, {"2007.2.30", 2}};
    for (const auto& field : fields) {
        std::string line = std::string("voldix;1;0;0;22;") + field.first + ";1;350;;x.zip;";
        ParsedList list(line);
        ASSERT_EQ(list.records.size(), 1u) << field.first;
        const UpdateEntry* e = list.head;
        if (field.second == 0)
            EXPECT_TRUE(DateIsZero(e->date)) << field.first;
        else
            EXPECT_EQ(e->date.GetStatus(), COleDateTime::invalid) << field.first;
        // The fields after the date are read all the same.
        EXPECT_EQ(e->size, 350) << field.first;
        EXPECT_EQ(Text(e->fileName), "x.zip") << field.first;
    }
}

TEST(UpdateList, CommentsEmptyLinesAndTheSearch) {
    ParsedList comments("# only\n#voldix;1;0;0;22;\n");
    EXPECT_EQ(comments.head, nullptr);

    ParsedList list("# list\n"
                    "Voldix;9;0;0;0;\n"
                    " voldix;8;0;0;0;\n"
                    "\n"
                    "voldix;1;0;0;22; # not a comment\n"
                    "voldix;2;0;0;0;\n");
    ASSERT_EQ(list.records.size(), 5u);
    EXPECT_EQ(list.records[2]->name, nullptr);
    const UpdateEntry* found = FindUpdateEntry("voldix", list.head);
    ASSERT_EQ(found, list.records[3]);
    ExpectVersion(found, 1, 0, 0, 22);
    EXPECT_EQ(FindUpdateEntry("voldi", list.head), nullptr);
    EXPECT_EQ(FindUpdateEntry("voldix", nullptr), nullptr);
}

TEST(UpdateList, LongLinesAreCutIntoPieces) {
    std::string line = "voldix;1;0;0;22;" + std::string(1500 - 16, 'a');
    line[1030] = ';';
    ParsedList list(line + "\nnext;\n");
    ASSERT_EQ(list.records.size(), 3u);
    EXPECT_EQ(Text(list.records[0]->name), "voldix");
    // The second piece begins after the 1024th character.
    EXPECT_EQ(Text(list.records[1]->name), std::string(1030 - 1024, 'a'));
    EXPECT_EQ(Text(list.records[2]->name), "next");

    // A line of exactly the piece length is one record.
    ParsedList exact(std::string(kUpdateLineLength - 1, 'b') + ";\n");
    EXPECT_EQ(exact.records.size(), 1u);
}

TEST(UpdateList, TextReaderFreesTheOldTextAndAppendIgnoresNull) {
    char line[] = "a;";
    char* cursor = line;
    char* text = static_cast<char*>(std::malloc(4));
    std::strcpy(text, "old");
    NextTextField(&cursor, &text);
    EXPECT_EQ(Text(text), "a");
    NextTextField(&cursor, &text);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(cursor, line + 2);
    UpdateEntry* head = nullptr;
    AppendUpdateEntry(nullptr, &head);
    EXPECT_EQ(head, nullptr);
    EXPECT_EQ(ParseUpdateEntry(nullptr), nullptr);
}

TEST(UpdateList, VersionOrderBySignificance) {
    const int own[4] = {1, 0, 0, 21};
    const int equal[4] = {1, 0, 0, 21}, patch[4] = {1, 0, 0, 22}, older[4] = {1, 0, 0, 20},
              minor[4] = {1, 0, 1, 3}, downgrade[4] = {0, 9, 9, 0}, major[4] = {2, 0, 0, 0};
    EXPECT_FALSE(IsVersionGreater(equal, own));
    EXPECT_TRUE(IsVersionGreater(patch, own));
    EXPECT_FALSE(IsVersionGreater(older, own));
    EXPECT_TRUE(IsVersionGreater(minor, own));
    EXPECT_FALSE(IsVersionGreater(downgrade, own));
    EXPECT_TRUE(IsVersionGreater(major, own));
}

TEST(UpdateList, DownloadNameMustBeAPlainZipName) {
    const std::string longest = std::string(60, 'x') + ".zip";
    for (const std::string& good : {std::string("voldix.zip"), std::string("9_v-1.0.ZIP"), longest,
                                    std::string("COM10.zip"), std::string("console.zip")})
        EXPECT_EQ(DownloadNameFault(good.c_str()), nullptr) << good;
    const std::pair<const char*, std::vector<std::string>> bad[] = {
        {"leer", {""}},
        {"Pfadangabe", {"..\\evil.zip", "x.zip:stream"}},
        {"Steuerzeichen", {"tab\t.zip"}},
        {"unzulässiges Zeichen",
         {"VOLDIX~1.ZIP", "Voldix 1.zip", "rechnung\xE2\x80\xAEpiz.exe", "\xED\xA0\x80.zip"}},
        {"zu lang", {"x" + longest}},
        {"Sonderzeichen am Anfang", {".zip", "-r.zip"}},
        {"keine ZIP-Datei", {"Voldix.log", "setup.exe", "evil.zip."}},
        {"Gerätename", {"nul.zip", "Com0.tar.zip", "lpt0.zip", "LPT9.zip"}},
    };
    for (const auto& [reason, names] : bad)
        for (const std::string& name : names) {
            const char* fault = DownloadNameFault(name.c_str());
            ASSERT_NE(fault, nullptr) << name;
            EXPECT_EQ(std::string(fault), std::string("Ungültiger Dateiname: ") + reason) << name;
        }
    EXPECT_STREQ(DownloadNameFault(nullptr), "Ungültiger Dateiname: leer");
}

TEST(UpdateList, EleventhFieldIsTheSignature) {
    const std::string hex(128, 'a');
    ParsedList list("voldix;1;0;0;22;2007.3.15;1;350;U/;v.zip;" + hex + ";\n" +
                    "voldix;1;0;0;22;2007.3.15;1;350;U/;v.zip;" + hex + "\r\n" +
                    "voldix;1;0;0;22;2007.3.15;1;350;U/;v.zip\n");
    ASSERT_EQ(list.records.size(), 3u);
    EXPECT_EQ(Text(list.records[0]->signature), hex);
    EXPECT_EQ(Text(list.records[1]->signature), hex);
    EXPECT_EQ(Text(list.records[2]->signature), "<none>");
    unsigned char bytes[kSignatureBytes];
    EXPECT_TRUE(ParseSignatureField(("0aF9" + std::string(124, '1')).c_str(), bytes));
    EXPECT_EQ(bytes[0], 0x0A);
    EXPECT_EQ(bytes[1], 0xF9);
    // r and s lie in 1 to n - 1 (n the order of P-256), or the signature is refused
    // before the system's cryptography sees it.
    const std::string n = "FFFFFFFF00000000FFFFFFFFFFFFFFFFBCE6FAADA7179E84F3B9CAC2FC632551";
    const std::string below = n.substr(0, 63) + "0", zero(64, '0');
    EXPECT_TRUE(ParseSignatureField((below + zero.substr(1) + "1").c_str(), bytes));
    for (const std::string& outside :
         {zero + below, below + zero, n + below, below + n, std::string(64, 'F') + below})
        EXPECT_FALSE(ParseSignatureField(outside.c_str(), bytes)) << outside;
    for (const std::string& bad : {std::string(), std::string(126, 'a'), std::string(130, 'a'),
                                   std::string(127, 'a') + "g", std::string(127, 'a') + " "})
        EXPECT_FALSE(ParseSignatureField(bad.c_str(), bytes)) << bad;
    EXPECT_FALSE(ParseSignatureField(nullptr, bytes));
    // The key as openssl prints it (04 and X‖Y), and X‖Y alone whose X begins with 04.
    std::string point;
    for (int i = 0; i < 64; ++i)
        point += "0123456789abcdef"[(i + 4) >> 4], point += "0123456789abcdef"[(i + 4) & 15];
    for (const std::string& key : {point, "04" + point}) {
        unsigned char parsed[kPublicKeyBytes] = {};
        ASSERT_TRUE(ParsePublicKey(key.c_str(), parsed)) << key;
        for (size_t i = 0; i < kPublicKeyBytes; ++i)
            ASSERT_EQ(parsed[i], static_cast<unsigned char>(i + 4)) << key << ", byte " << i;
    }
}

#ifdef VOLDIX_HEAP_HOOKS
namespace {
// The most heap in use while g_measuring is set, as AddressSanitizer counts it.
bool g_measuring = false;
size_t g_heapPeak = 0;
void CountMalloc(const volatile void*, size_t) {
    if (g_measuring)
        g_heapPeak = std::max(g_heapPeak, __sanitizer_get_current_allocated_bytes());
}
void CountFree(const volatile void*) {}
} // namespace

TEST(UpdateList, AMillionEmptyLinesCostNoMoreThanOne) {
    const std::string breaks(1 << 20, '\n');
    const std::string list = breaks + "voldix;1;0;0;22;2007.3.15;1;350;U/;v.zip;\n" + breaks;
    ASSERT_NE(__sanitizer_install_malloc_and_free_hooks(CountMalloc, CountFree), 0);
    const size_t start = g_heapPeak = __sanitizer_get_current_allocated_bytes();
    g_measuring = true;
    CUpdateListReader reader("voldix");
    reader.Add(list.data(), list.size());
    UpdateEntry* kept = reader.Finish();
    g_measuring = false;
    ExpectVersion(kept, 1, 0, 0, 22);
    EXPECT_EQ(kept ? kept->next : nullptr, nullptr);
    EXPECT_LT(g_heapPeak - start, 4096u) << "bytes of heap at the peak";
    FreeUpdateList(kept);
}
#endif
