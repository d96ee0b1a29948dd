#pragma once
// CString and CStringArray: the program's 8-bit text, always UTF-8 encoded.
// Portable apart from LoadString, so that the formats built on it compile anywhere.
#ifdef _WIN32
#include <windows.h> // member names such as LoadString follow its macros
#endif
#include <cstdarg>
#include <string>
#include <vector>

#if defined(__MINGW32__)
#define VOLDIX_PRINTF(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define VOLDIX_PRINTF(f, a) __attribute__((format(printf, f, a)))
#endif

// A text string with the operations the program uses; UTF-8 bytes inside.
class CString {
  public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const char* text, int length) : m_text(text, static_cast<size_t>(length)) {}
    CString(std::string text) : m_text(std::move(text)) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }
    void SetAt(int index, char c) { m_text.at(static_cast<size_t>(index)) = c; }
    char operator[](int index) const { return GetAt(index); }
    operator const char*() const { return m_text.c_str(); }
    const char* c_str() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }

    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const char* other) {
        m_text += other;
        return *this;
    }
    CString& operator+=(char c) {
        m_text += c;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) {
        return CString(a.m_text + b.m_text);
    }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_text + b); }
    friend CString operator+(const char* a, const CString& b) { return CString(a + b.m_text); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == b; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_text != b.m_text; }
    friend bool operator!=(const CString& a, const char* b) { return a.m_text != b; }

    // Position of the first occurrence at or after start, or -1.
    int Find(char c, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char c) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Replaces the content by the C library's formatting of the arguments.
    void Format(const char* format, ...) VOLDIX_PRINTF(2, 3);
    void FormatV(const char* format, va_list args);

    // Loads a string resource of the program (Windows only).
    bool LoadString(unsigned id);

  private:
    std::string m_text;
};

// A growable array of strings; RemoveAt moves later elements up.
class CStringArray {
  public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    void SetSize(int size) { m_items.resize(static_cast<size_t>(size)); }
    int Add(const CString& text) {
        m_items.push_back(text);
        return GetSize() - 1;
    }
    const CString& GetAt(int index) const { return m_items.at(static_cast<size_t>(index)); }
    void SetAt(int index, const CString& text) { m_items.at(static_cast<size_t>(index)) = text; }
    CString& operator[](int index) { return m_items.at(static_cast<size_t>(index)); }
    const CString& operator[](int index) const { return GetAt(index); }
    void RemoveAt(int index, int count = 1);
    void RemoveAll() { m_items.clear(); }

  private:
    std::vector<CString> m_items;
};
