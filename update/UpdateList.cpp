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

// The characters of a download's name.
const char kNameCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-";

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

// True when the part of a file name before its first dot names a device ("CON", "nul",
// "COM1", ...), which Windows opens whatever follows. Names of other characters than
// kNameCharacters (blanks, the superscript digits of "COM¹") are refused before.
bool IsDeviceName(const char* name) {
    const size_t length = std::strcspn(name, ".");
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (EqualNoCase(name, length, device))
            return true;
    return length == 4 && (EqualNoCase(name, 3, "COM") || EqualNoCase(name, 3, "LPT")) &&
           name[3] >= '0' && name[3] <= '9';
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

CUpdateListReader::CUpdateListReader(const char* key) : m_key(key) {}

CUpdateListReader::~CUpdateListReader() {
    FreeUpdateList(m_head);
}

void CUpdateListReader::Add(const char* data, size_t length) {
    for (const char* end = data + length; data < end; ++data) {
        if (*data == '\n') {
            // A CR right before the line feed is dropped.
            m_pendingCr = false;
            if (m_length > 0 || !m_lineHasPiece)
                EndPiece();
            m_lineHasPiece = false;
            continue;
        }
        if (m_pendingCr)
            AddChar('\r');
        m_pendingCr = *data == '\r';
        if (!m_pendingCr)
            AddChar(*data);
    }
}

UpdateEntry* CUpdateListReader::Finish() {
    if (m_pendingCr)
        AddChar('\r');
    m_pendingCr = false;
    if (m_length > 0)
        EndPiece();
    m_lineHasPiece = false;
    UpdateEntry* head = m_head;
    m_head = nullptr;
    m_tail = &m_head;
    return head;
}

void CUpdateListReader::AddChar(char c) {
    if (m_length == kUpdateLineLength) {
        EndPiece();
        m_lineHasPiece = true;
    }
    m_piece[m_length++] = c;
}

void CUpdateListReader::EndPiece() {
    m_piece[m_length] = '\0';
    m_length = 0;
    if (m_piece[0] == '#' || (m_key && m_head))
        return;
    UpdateEntry* entry = ParseUpdateEntry(m_piece);
    if (!entry)
        return;
    if (m_key && (!entry->name || std::strcmp(entry->name, m_key) != 0)) {
        FreeEntry(entry);
        return;
    }
    *m_tail = entry;
    m_tail = &entry->next;
}

UpdateEntry* ParseUpdateList(const char* data, size_t length) {
    CUpdateListReader reader(nullptr);
    reader.Add(data, length);
    return reader.Finish();
}

bool IsVersionGreater(const int a[4], const int b[4]) {
    for (int i = 0; i < 4; ++i)
        if (a[i] != b[i])
            return a[i] > b[i];
    return false;
}

const char* DownloadNameFault(const char* name) {
    if (!name || !*name)
        return "Ungültiger Dateiname: leer";
    const size_t length = std::strlen(name);
    for (const char* c = name; *c; ++c) {
        const unsigned char u = static_cast<unsigned char>(*c);
        if (u < 0x20 || u == 0x7F)
            return "Ungültiger Dateiname: Steuerzeichen";
    }
    if (std::strpbrk(name, "\\/:"))
        return "Ungültiger Dateiname: Pfadangabe";
    if (std::strspn(name, kNameCharacters) != length)
        return "Ungültiger Dateiname: unzulässiges Zeichen";
    if (length > kDownloadNameLength)
        return "Ungültiger Dateiname: zu lang";
    if (std::strchr("._-", name[0]))
        return "Ungültiger Dateiname: Sonderzeichen am Anfang";
    if (length < 5 || !EqualNoCase(name + length - 4, 4, ".zip"))
        return "Ungültiger Dateiname: keine ZIP-Datei";
    if (IsDeviceName(name))
        return "Ungültiger Dateiname: Gerätename";
    return nullptr;
}
