#pragma once
// The switch table and the walk over the argument vector. No platform
// headers: the conversion to the ANSI code page is handed in.
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace ovek {

using SwitchHandler = std::function<void(const std::wstring& value)>;
// Keys are narrow text in the thread's ANSI code page, compared byte for byte.
using SwitchTable = std::unordered_map<std::string, SwitchHandler>;
using NarrowConverter = std::function<std::string(const std::wstring&)>;

// Every argument, the program path included, is looked up as a switch; a
// found switch receives the next argument as its value (empty when there is
// none, when it is empty, or when it begins with a backslash). The value is
// not skipped: it is looked up as a switch in its own turn.
void ParseCommandLine(const std::vector<std::wstring>& args, const NarrowConverter& toNarrow,
                      const SwitchTable& table);

}  // namespace ovek
