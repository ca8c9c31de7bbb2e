#pragma once
// Turns fuzzer bytes into document text: each byte is a Latin-1 unit, except
// that 0xFF followed by two bytes gives any 16-bit unit. NUL bytes are dropped.
#include <cstddef>
#include <cstdint>
#include <string>

namespace ovek::fuzz {

inline std::wstring DocumentText(const uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text += static_cast<wchar_t>(data[i + 1] | (data[i + 2] << 8));
            i += 2;
        } else if (data[i] != 0) {
            text += static_cast<wchar_t>(data[i]);
        }
    }
    return text;
}

}  // namespace ovek::fuzz
