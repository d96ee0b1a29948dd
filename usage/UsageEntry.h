#pragma once
// UsageEntry and CEntryArray: the record behind one row of the usage list (a drive
// root or a folder entry) and the array of them, row i = element i.
#include <algorithm>
#include <cstdint>
#include <new>

#include "classlib/ObArray.h"
#include "classlib/String.h"
#include "classlib/Time.h"

// One row's data: name, size (a folder's recursive total), folder flag, time, attributes.
class UsageEntry : public CObject {
  public:
    UsageEntry() = default;
    UsageEntry(const CString& name, bool isFolder, uint64_t size, CTime time, uint32_t attributes)
        : m_time(time), m_size(size), m_isFolder(isFolder), m_name(name), m_attributes(attributes) {
    }
    ~UsageEntry() override = default;

    CTime m_time;
    uint64_t m_size = 0;
    bool m_isFolder = false;
    CString m_name;
    uint32_t m_attributes = 0;
};

// The records of the rows shown; deletes them only when asked to (DeleteAll).
class CEntryArray : public CObArray {
  public:
    ~CEntryArray() override = default;
    UsageEntry* GetEntry(int index) const { return static_cast<UsageEntry*>(GetAt(index)); }
    // Adds a copy of entry; false, and nothing added, when there is no memory for it.
    bool AddCopy(const UsageEntry& entry) {
        UsageEntry* copy = new (std::nothrow) UsageEntry(entry);
        if (!copy)
            return false;
        Add(copy);
        return true;
    }
    // Deletes every record and empties the array.
    void DeleteAll() {
        for (int i = 0; i < GetSize(); ++i)
            delete GetEntry(i);
        SetSize(0);
    }
    // Orders the records by size, largest first, equal sizes in their present order; they
    // pass through work, which is empty before and after.
    void SortBySize(CEntryArray& work) {
        const int count = GetSize();
        work.Reserve(count);
        for (int i = 0; i < count; ++i)
            work.Add(GetAt(i));
        std::stable_sort(work.GetData(), work.GetData() + count, [](CObject* a, CObject* b) {
            return static_cast<UsageEntry*>(a)->m_size > static_cast<UsageEntry*>(b)->m_size;
        });
        for (int i = 0; i < count; ++i)
            SetAt(i, work.GetAt(i));
        work.SetSize(0);
    }
};
