// Splits the input into arguments (NUL bytes separate them, each byte pair
// one UTF-16 unit) and runs the switch walk with the four real switches.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/CommandLine.h"

namespace {

// A stand-in for the ANSI conversion: ASCII stays, anything else is '?'.
std::string ToNarrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += (c > 0 && c < 0x80) ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::wstring> args(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0)
            args.emplace_back();
        else
            args.back() += unit;
    }
    int flags = 0;
    std::wstring language;
    ovek::SwitchTable table;
    table["/s"] = [&](const std::wstring&) { flags |= 1; };
    table["/n"] = [&](const std::wstring&) { flags |= 2; };
    table["/l"] = [&](const std::wstring&) { flags |= 4; };
    table["/lang"] = [&](const std::wstring& value) {
        // A value is never one that the rules say to drop.
        if (!value.empty() && value[0] == L'\\') abort();
        language = value;
    };
    ovek::ParseCommandLine(args, ToNarrow, table);
    return 0;
}
