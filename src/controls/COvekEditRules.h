#pragma once
// The folder field's layout and its numeric modes, without the platform.
#include <cstdlib>
#include <cwchar>
#include <string>

#include "framework/DecimalText.h"

namespace ovek {

enum class EditMode { Integer = 0, Decimal = 1, Text = 2 };

// How far the client area's top and bottom move inwards so that one line
// of the font remains, centred. Never outwards: a field shorter than its
// font keeps the platform's client area.
constexpr int EditLineInset(int clientHeight, int externalLeading, int fontHeight) {
    const int inset = (clientHeight - externalLeading - fontHeight) / 2;
    return inset > 0 ? inset : 0;
}

struct NumericSettings {
    bool thousandsSeparators = false;
    bool negatives = false;
    long long intMin = 0, intMax = 0;
    double decMin = 0.0, decMax = 0.0;
    bool hasMin = true, hasMax = true;
    int decimals = 1;
};

// Typed characters a numeric field keeps: digits, a leading sign when
// negatives are allowed, one decimal point in decimal mode.
inline bool AcceptsNumericChar(EditMode mode, const NumericSettings& s, const std::wstring& text, wchar_t c,
                               size_t caret) {
    if (c >= L'0' && c <= L'9') return true;
    if (c == L'-') return s.negatives && caret == 0 && text.find(L'-') == std::wstring::npos;
    if (c == L'.') return mode == EditMode::Decimal && text.find(L'.') == std::wstring::npos;
    return false;
}

inline std::wstring WithoutSeparators(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text)
        if (c != L',') out += c;
    return out;
}

// "1234567.5" -> "1,234,567.5"; the sign and the fraction stay as they are.
inline std::wstring WithThousandsSeparators(const std::wstring& text) {
    const std::wstring plain = WithoutSeparators(text);
    size_t start = (!plain.empty() && plain[0] == L'-') ? 1 : 0;
    size_t end = plain.find(L'.');
    if (end == std::wstring::npos) end = plain.size();
    std::wstring out = plain.substr(0, start);
    for (size_t i = start; i < end; ++i) {
        out += plain[i];
        const size_t left = end - i - 1;
        if (left > 0 && left % 3 == 0) out += L',';
    }
    return out + plain.substr(end);
}

// The value after one Up (+1) or Down (-1) step, clamped, in the mode's form:
// integers by 1 as "%d", decimals by 0.1 with the set number of decimals.
inline std::wstring SteppedNumber(EditMode mode, const NumericSettings& s, const std::wstring& text, int direction) {
    const std::wstring plain = WithoutSeparators(text);
    std::wstring stepped;
    if (mode == EditMode::Integer) {
        long long v = std::wcstoll(plain.c_str(), nullptr, 10) + direction;
        if (s.hasMin && v < s.intMin) v = s.intMin;
        if (s.hasMax && v > s.intMax) v = s.intMax;
        if (!s.negatives && v < 0) v = 0;
        stepped = DecimalText(v);
    } else {
        double v = ReadFixed(plain) + 0.1 * direction;
        if (s.hasMin && v < s.decMin) v = s.decMin;
        if (s.hasMax && v > s.decMax) v = s.decMax;
        if (!s.negatives && v < 0) v = 0;
        const int decimals = s.decimals < 0 ? 0 : (s.decimals > 9 ? 9 : s.decimals);
        stepped = FixedText(v, decimals);
    }
    return s.thousandsSeparators ? WithThousandsSeparators(stepped) : stepped;
}

}  // namespace ovek
