#include "Format.h"

CString FormatSize(uint64_t size) {
    static const char* const kUnits[] = {"Bytes", "KB", "MB", "GB", "TB"};
    uint64_t previous = size;
    int unit = 0;
    while (size >= 1024 && unit < 4) {
        previous = size;
        size /= 1024;
        ++unit;
    }
    CString text;
    if (unit == 0)
        text.Format("%u %s", static_cast<unsigned>(size), size == 1 ? "Byte" : "Bytes");
    else
        text.Format("%0.1f %s", static_cast<double>(previous) / 1024.0, kUnits[unit]);
    return text;
}

CString FormatShare(uint64_t part, uint64_t whole) {
    // An empty whole (a folder of empty files, a volume reporting no capacity) has no
    // share to speak of; show 0.00% rather than "nan%".
    double share =
        whole == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(whole) * 100.0;
    CString text;
    text.Format("%0.2f%%", share);
    return text;
}

DriveCells FormatDriveCells(uint64_t total, uint64_t free) {
    if (free > total)
        free = total;
    const uint64_t used = total - free;
    DriveCells cells;
    cells.size = FormatSize(total);
    cells.used.Format("%s [%s]", FormatShare(used, total).c_str(), FormatSize(used).c_str());
    cells.free.Format("%s [%s]", FormatShare(free, total).c_str(), FormatSize(free).c_str());
    return cells;
}

CString AttributeLetters(uint32_t attributes) {
    struct Letter {
        uint32_t bit;
        char set;
        char clear;
    };
    static const Letter kLetters[] = {
        {0x20, 'A', '-'},  {0x800, 'C', '-'}, {0x10, 'D', 'F'},   {0x40, 'E', '-'},
        {0x2, 'H', '-'},   {0x80, 'N', '-'},  {0x1000, 'O', '-'}, {0x1, 'R', '-'},
        {0x400, 'L', '-'}, {0x200, 'P', '-'}, {0x4, 'S', '-'},    {0x100, 'T', '-'},
    };
    CString text;
    for (const Letter& letter : kLetters)
        text += (attributes & letter.bit) ? letter.set : letter.clear;
    return text;
}

CString FormatEntryTime(const CTime& time) {
    return time.Format("%d.%m.%y %H:%M");
}

void AppendBackslash(CString& path) {
    if (!path.IsEmpty() && path[path.GetLength() - 1] != '\\')
        path += '\\';
}

const char* UnitName(int code) {
    switch (code) {
    case 0: return "Byte";
    case 1: return "KB";
    case 2: return "MB";
    case 3: return "GB";
    }
    return "???";
}
