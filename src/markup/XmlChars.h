#pragma once
// Character rules shared by the parser, the reference decoder and the
// encoding sniffer. No platform header.
#include <cstddef>
#include <string_view>

namespace ovek::xml {

// Names and entity names fold ASCII letters only.
inline wchar_t FoldAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

inline bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

// Characters that end an element or attribute name read back from the text.
inline bool EndsName(wchar_t c) {
    switch (c) {
    case L' ': case L'\t': case L'\n': case L'\r': case L'<': case L'>': case L'=':
    case L'\\': case L'/': case L'?': case L'!': case L'"': case L'\'': case L';':
        return true;
    default:
        return false;
    }
}

}  // namespace ovek::xml
