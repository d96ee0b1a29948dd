#pragma once
// CObject and CObArray: the base of the program's records and the pointer array
// that holds them. The array never deletes what it points to.
#include <stdexcept>
#include <vector>

// The root of polymorphic records; only its destructor is virtual.
class CObject {
  public:
    virtual ~CObject() = default;
};

// A growable array of CObject pointers; RemoveAt moves later elements up.
class CObArray {
  public:
    virtual ~CObArray() = default;
    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // New elements are null; shrinking drops pointers without deleting them.
    void SetSize(int size) { m_items.resize(static_cast<size_t>(size), nullptr); }
    int Add(CObject* item) {
        m_items.push_back(item);
        return GetSize() - 1;
    }
    CObject* GetAt(int index) const { return m_items.at(static_cast<size_t>(index)); }
    void SetAt(int index, CObject* item) { m_items.at(static_cast<size_t>(index)) = item; }
    CObject*& operator[](int index) { return m_items.at(static_cast<size_t>(index)); }
    CObject* operator[](int index) const { return GetAt(index); }
    void RemoveAt(int index, int count = 1) {
        if (index < 0 || count < 0 || index + count > GetSize())
            throw std::out_of_range("CObArray::RemoveAt");
        m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    }
    void RemoveAll() { m_items.clear(); }
    void Reserve(int size) { m_items.reserve(static_cast<size_t>(size)); }
    CObject** GetData() { return m_items.data(); }

  private:
    std::vector<CObject*> m_items;
};
