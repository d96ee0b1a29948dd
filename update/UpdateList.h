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

// True when version a is greater than version b, compared number by number from the
// most significant one.
bool IsVersionGreater(const int a[4], const int b[4]);

// Why name cannot serve as the local file name of a download: null when it is a plain
// file name (no path, drive, device, dot-only name, trailing dot or blank, control or
// reserved character, broken UTF-8) other than ownName, the program's own file name, or
// a name beginning with it and a dot, and not a file that Windows or its shell loads by
// itself from the program's folder (DLLs and their kin, ".local", ".manifest",
// ".config", "desktop.ini", links); case never matters. Otherwise the reason as a
// short German text.
const char* DownloadNameFault(const char* name, const char* ownName);
