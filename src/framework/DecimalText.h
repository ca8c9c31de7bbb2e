#pragma once
// Decimal numbers in text the way the C runtime's atol family reads them:
// optional leading white space and sign, then digits as far as they go; no
// digits read as 0, and values beyond the 32-bit range clamp to its limits.
// Platform-free.
#include <cstdint>
#include <limits>
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
