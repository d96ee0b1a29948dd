#include "String.h"

#include <cstdio>
#include <stdexcept>

int CString::Find(char c, int start) const {
    if (start < 0 || start > GetLength())
        return -1;
    size_t pos = m_text.find(c, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* text, int start) const {
    if (start < 0 || start > GetLength())
        return -1;
    size_t pos = m_text.find(text, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char c) const {
    size_t pos = m_text.rfind(c);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const {
    if (count <= 0)
        return CString();
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    return CString(m_text.substr(m_text.size() - static_cast<size_t>(count)));
}

CString CString::Mid(int first) const {
    if (first < 0)
        first = 0;
    if (first >= GetLength())
        return CString();
    return CString(m_text.substr(static_cast<size_t>(first)));
}

CString CString::Mid(int first, int count) const {
    if (first < 0)
        first = 0;
    if (first >= GetLength() || count <= 0)
        return CString();
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int needed = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0)
        throw std::runtime_error("bad format");
    std::string out(static_cast<size_t>(needed) + 1, '\0');
    vsnprintf(&out[0], out.size(), format, args);
    out.resize(static_cast<size_t>(needed));
    m_text.swap(out);
}

void CStringArray::RemoveAt(int index, int count) {
    if (index < 0 || count < 0 || index + count > GetSize())
        throw std::out_of_range("CStringArray::RemoveAt");
    m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
}
