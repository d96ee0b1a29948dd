#include "update/UpdateList.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
// The atoi rule, with values beyond the int range held at its ends.
int ReadInt(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// Ends the field at the cursor: the ";" becomes a zero byte and the cursor moves past
// it. Returns the field's text, or null (cursor unmoved) when no ";" follows.
char* TakeField(char** cursor) {
    char* field = *cursor;
    char* end = std::strchr(field, ';');
    if (!end)
        return nullptr;
    *end = '\0';
    *cursor = end + 1;
    return field;
}

char* CopyText(const char* text) {
    const size_t length = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy)
        std::memcpy(copy, text, length + 1);
    return copy;
}

// True when the bytes form valid UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(const unsigned char* text) {
    while (*text) {
        const unsigned char c = *text;
        int extra;
        unsigned minimum;
        unsigned code;
        if (c < 0x80) {
            ++text;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, minimum = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, minimum = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, minimum = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        for (int i = 1; i <= extra; ++i) {
            if ((text[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (text[i] & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        text += extra + 1;
    }
    return true;
}

bool EqualNoCase(const char* a, size_t aLength, const char* b) {
    if (std::strlen(b) != aLength)
        return false;
    for (size_t i = 0; i < aLength; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

// True when the part of a file name before its first dot, blanks at its end left
// out, names a device ("CON", "nul", "COM1", ...), which Windows opens whatever follows.
bool IsDeviceName(const char* name) {
    size_t length = std::strcspn(name, ".");
    while (length > 0 && name[length - 1] == ' ')
        --length;
    static const char* const kDevices[] = {"CON",    "PRN",     "AUX",   "NUL",
                                           "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : kDevices)
        if (EqualNoCase(name, length, device))
            return true;
    if (length < 4 || !(EqualNoCase(name, 3, "COM") || EqualNoCase(name, 3, "LPT")))
        return false;
    const char* number = name + 3;
    const size_t numberLength = length - 3;
    if (numberLength == 1 && *number >= '0' && *number <= '9')
        return true;
    // The superscript digits one to three count as digits, too.
    return numberLength == 2 && static_cast<unsigned char>(number[0]) == 0xC2 &&
           (static_cast<unsigned char>(number[1]) == 0xB9 ||
            static_cast<unsigned char>(number[1]) == 0xB2 ||
            static_cast<unsigned char>(number[1]) == 0xB3);
}

// True when Windows or its shell may load or read a file of this name from the program's
// folder by itself: code that the loader maps (DLLs and their kin, including language
// resources), the files that redirect the loader (".local", ".manifest"), the runtime's
// ".config", and the files that Explorer reads from any folder it shows.
bool IsLoadedBySystem(const char* name) {
    const size_t length = std::strlen(name);
    static const char* const kEndings[] = {
        ".dll",      ".ocx",    ".cpl", ".drv", ".sys", ".mui",        ".ax",
        ".acm",      ".ime",    ".tsp", ".efi", ".scr", ".mun",        ".local",
        ".manifest", ".config", ".scf", ".lnk", ".url", ".library-ms", ".searchconnector-ms"};
    for (const char* ending : kEndings) {
        const size_t endingLength = std::strlen(ending);
        if (length >= endingLength &&
            EqualNoCase(name + length - endingLength, endingLength, ending))
            return true;
    }
    return EqualNoCase(name, length, "desktop.ini") || EqualNoCase(name, length, "autorun.inf");
}

void FreeEntry(UpdateEntry* entry) {
    std::free(entry->name);
    std::free(entry->path);
    std::free(entry->fileName);
    std::free(entry->signature);
    entry->~UpdateEntry();
    std::free(entry);
}
} // namespace

void NextTextField(char** cursor, char** target) {
    std::free(*target);
    *target = nullptr;
    const char* field = TakeField(cursor);
    if (field && *field)
        *target = CopyText(field);
}

void NextLastField(char** cursor, char** target) {
    std::free(*target);
    *target = nullptr;
    char* field = TakeField(cursor);
    if (!field) {
        field = *cursor;
        *cursor += std::strlen(field);
    }
    if (*field)
        *target = CopyText(field);
}

int NextNumberField(char** cursor) {
    const char* field = TakeField(cursor);
    return field ? ReadInt(field) : -1;
}

void NextDateField(char** cursor, COleDateTime* date) {
    const char* field = TakeField(cursor);
    if (!field || !*field)
        return;
    const int year = ReadInt(field);
    if (year <= 0)
        return;
    const char* firstDot = std::strchr(field, '.');
    if (!firstDot || !firstDot[1])
        return;
    const int month = ReadInt(firstDot + 1);
    if (month <= 0)
        return;
    const char* secondDot = std::strchr(firstDot + 1, '.');
    if (!secondDot || !secondDot[1])
        return;
    const int day = ReadInt(secondDot + 1);
    if (day <= 0)
        return;
    date->SetDateTime(year, month, day, 0, 0, 0);
}

UpdateEntry* ParseUpdateEntry(char* line) {
    if (!line)
        return nullptr;
    void* block = std::malloc(sizeof(UpdateEntry));
    if (!block)
        return nullptr;
    UpdateEntry* entry = new (block) UpdateEntry{};
    char* cursor = line;
    NextTextField(&cursor, &entry->name);
    for (int& number : entry->version)
        number = NextNumberField(&cursor);
    NextDateField(&cursor, &entry->date);
    entry->sizeUnit = NextNumberField(&cursor);
    entry->size = NextNumberField(&cursor);
    NextTextField(&cursor, &entry->path);
    const char* const beforeFileName = cursor;
    NextTextField(&cursor, &entry->fileName);
    // Only a line with all ten fields has an eleventh.
    if (cursor != beforeFileName)
        NextLastField(&cursor, &entry->signature);
    return entry;
}

void AppendUpdateEntry(UpdateEntry* entry, UpdateEntry** head) {
    if (!entry || !head)
        return;
    entry->next = nullptr;
    UpdateEntry** link = head;
    while (*link)
        link = &(*link)->next;
    *link = entry;
}

UpdateEntry* FindUpdateEntry(const char* key, UpdateEntry* head) {
    if (!key)
        return nullptr;
    for (UpdateEntry* entry = head; entry; entry = entry->next)
        if (entry->name && std::strcmp(entry->name, key) == 0)
            return entry;
    return nullptr;
}

void FreeUpdateList(UpdateEntry* head) {
    while (head) {
        UpdateEntry* next = head->next;
        FreeEntry(head);
        head = next;
    }
}

UpdateEntry* ParseUpdateList(const char* data, size_t length) {
    UpdateEntry* head = nullptr;
    UpdateEntry** tail = &head;
    char piece[kUpdateLineLength + 1];
    size_t pos = 0;
    while (pos < length) {
        const char* lineStart = data + pos;
        const void* found = std::memchr(lineStart, '\n', length - pos);
        size_t lineLength = found ? static_cast<const char*>(found) - lineStart : length - pos;
        pos += lineLength + (found ? 1 : 0);
        if (found && lineLength > 0 && lineStart[lineLength - 1] == '\r')
            --lineLength;
        // Each piece of up to kUpdateLineLength characters counts as a line; an empty
        // line is one empty piece.
        size_t offset = 0;
        do {
            const size_t count =
                lineLength - offset < kUpdateLineLength ? lineLength - offset : kUpdateLineLength;
            std::memcpy(piece, lineStart + offset, count);
            piece[count] = '\0';
            offset += count;
            if (piece[0] == '#')
                continue;
            UpdateEntry* entry = ParseUpdateEntry(piece);
            if (entry) {
                AppendUpdateEntry(entry, tail);
                tail = &entry->next;
            }
        } while (offset < lineLength);
    }
    return head;
}

bool IsVersionGreater(const int a[4], const int b[4]) {
    for (int i = 0; i < 4; ++i)
        if (a[i] != b[i])
            return a[i] > b[i];
    return false;
}

const char* DownloadNameFault(const char* name, const char* ownName) {
    if (!name || !*name)
        return "Ungültiger Dateiname: leer";
    for (const char* c = name; *c; ++c) {
        const unsigned char u = static_cast<unsigned char>(*c);
        if (u < 0x20 || u == 0x7F)
            return "Ungültiger Dateiname: Steuerzeichen";
    }
    if (std::strpbrk(name, "\\/:"))
        return "Ungültiger Dateiname: Pfadangabe";
    if (std::strpbrk(name, "<>\"|?*"))
        return "Ungültiger Dateiname: unzulässiges Zeichen";
    if (!IsUtf8(reinterpret_cast<const unsigned char*>(name)))
        return "Ungültiger Dateiname: Zeichenkodierung";
    if (std::strspn(name, ".") == std::strlen(name))
        return "Ungültiger Dateiname: nur Punkte";
    const char last = name[std::strlen(name) - 1];
    if (last == '.' || last == ' ')
        return "Ungültiger Dateiname: Punkt oder Leerzeichen am Ende";
    if (IsDeviceName(name))
        return "Ungültiger Dateiname: Gerätename";
    // The program itself, and its companions such as "Voldix.exe.local".
    const size_t ownLength = ownName ? std::strlen(ownName) : 0;
    if (ownName && std::strlen(name) >= ownLength && EqualNoCase(name, ownLength, ownName) &&
        (name[ownLength] == '\0' || name[ownLength] == '.'))
        return "Ungültiger Dateiname: Name dieses Programms";
    if (IsLoadedBySystem(name))
        return "Ungültiger Dateiname: von Windows geladener Dateityp";
    return nullptr;
}
