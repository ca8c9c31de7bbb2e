#pragma once
// Decimal numbers in text the way the C runtime's atol family reads them:
// optional leading white space and sign, then digits as far as they go; no
// digits read as 0, and values beyond the 32-bit range clamp to its limits.
// Platform-free.
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace ovek {

inline int32_t ReadDecimal(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    // Accumulate in 64 bits and stop growing once past the range.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (value <= kLimit) value = value * 10 + (text[i] - L'0');
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace ovek

namespace ovek {

// Decimal text of a whole number, as %d / %lld would write it. Written here
// rather than through the C library's formatted printing, whose
// floating-point machinery would be most of what links in for it.
inline std::wstring DecimalText(long long value) {
    wchar_t digits[24];
    size_t n = 0;
    // Work on the negative side: it holds the smallest value too.
    long long v = value < 0 ? value : -value;
    do {
        digits[n++] = static_cast<wchar_t>(L'0' - v % 10);
        v /= 10;
    } while (v != 0);
    std::wstring text;
    if (value < 0) text += L'-';
    while (n > 0) text += digits[--n];
    return text;
}

// Fixed-point text with `decimals` digits after the point (0 to 9), rounded
// half away from zero, as %.*f writes it for values of installer size.
inline std::wstring FixedText(double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    long long scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const bool negative = value < 0;
    const double magnitude = (negative ? -value : value) * static_cast<double>(scale) + 0.5;
    const long long scaled = magnitude < 9.0e18 ? static_cast<long long>(magnitude) : 9000000000000000000LL;
    std::wstring text = negative && scaled != 0 ? L"-" : L"";
    text += DecimalText(scaled / scale);
    if (decimals > 0) {
        std::wstring fraction = DecimalText(scaled % scale);
        text += L'.';
        text.append(static_cast<size_t>(decimals) - fraction.size(), L'0');
        text += fraction;
    }
    return text;
}

// Reads [sign] digits [. digits] as far as they go, like wcstod for the
// plain decimals an edit field holds; anything else reads as 0.
inline double ReadFixed(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    double value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) value = value * 10 + (text[i] - L'0');
    if (i < text.size() && text[i] == L'.') {
        double place = 0.1;
        for (++i; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, place /= 10) value += (text[i] - L'0') * place;
    }
    return negative ? -value : value;
}

}  // namespace ovek
