#pragma once
// The update list: a text file with one line per program, parsed into a singly linked
// list of UpdateEntry records in file order. Portable C++ without Windows, so that it
// is also built natively for the sanitizers and the fuzz target.
#include <cstddef>

#include "update/UpdateEntry.h"

// Longest piece of a line that makes one record; longer lines are cut into pieces.
constexpr size_t kUpdateLineLength = 1024;

// Reads the next field up to its ";" into target (freed first; an empty field leaves it
// null). Without a ";" nothing moves and target stays null.
void NextTextField(char** cursor, char** target);
// Reads the last field: up to its ";", or to the end of the line when none follows.
void NextLastField(char** cursor, char** target);
// Reads the next field by the atoi rule; -1 when no ";" follows.
int NextNumberField(char** cursor);
// Reads a "year.month.day" field into date; an incomplete date leaves it unchanged.
void NextDateField(char** cursor, COleDateTime* date);
// Makes a record of one writable line (";" become zero bytes); null when line is null
// or no memory is left. Every line gives a record, however many fields it holds.
UpdateEntry* ParseUpdateEntry(char* line);
// Links entry behind the last record of the list at *head.
void AppendUpdateEntry(UpdateEntry* entry, UpdateEntry** head);
// The first record whose name is exactly key, or null.
UpdateEntry* FindUpdateEntry(const char* key, UpdateEntry* head);
// Frees every record of the list and its texts; head may be null.
void FreeUpdateList(UpdateEntry* head);
// Parses the bytes of a whole list file: lines end at LF (a CR before it is dropped),
// a line starting with "#" is a comment, longer lines count as pieces of
// kUpdateLineLength characters. The head of the list, or null when no record was made.
UpdateEntry* ParseUpdateList(const char* data, size_t length);

// Reads a list file in blocks as they come, by the rules of ParseUpdateList, and keeps
// only the records asked for: the first whose name is the key, or all without a key.
// Whatever the list holds, it needs no more memory than one line and those records.
class CUpdateListReader {
  public:
    explicit CUpdateListReader(const char* key);
    ~CUpdateListReader();
    CUpdateListReader(const CUpdateListReader&) = delete;
    CUpdateListReader& operator=(const CUpdateListReader&) = delete;

    void Add(const char* data, size_t length);
    // Ends the list: the records kept, for the caller to free with FreeUpdateList.
    UpdateEntry* Finish();

  private:
    void AddChar(char c);
    void EndPiece();

    const char* m_key;
    UpdateEntry* m_head = nullptr;
    UpdateEntry** m_tail = &m_head;
    char m_piece[kUpdateLineLength + 1];
    size_t m_length = 0;
    bool m_pendingCr = false;
    bool m_lineHasPiece = false;
};

// True when version a is greater than version b, compared number by number from the
// most significant one.
bool IsVersionGreater(const int a[4], const int b[4]);

// Longest name of a download.
constexpr size_t kDownloadNameLength = 64;
// Why name cannot serve as the local file name of a download: null when it is a plain
// zip file's name, 1 to kDownloadNameLength ASCII letters, digits, ".", "_" and "-",
// beginning with a letter or digit and ending in ".zip" (any case), and no device name
// (CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, whatever follows their first dot).
// Otherwise the reason as a short German text.
const char* DownloadNameFault(const char* name);
