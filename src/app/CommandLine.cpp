#include "app/CommandLine.h"

namespace ovek {

void ParseCommandLine(const std::vector<std::wstring>& args, const NarrowConverter& toNarrow,
                      const SwitchTable& table) {
    for (size_t i = 0; i < args.size(); ++i) {
        auto it = table.find(toNarrow(args[i]));
        if (it == table.end()) continue;
        std::wstring value;
        if (i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] != L'\\')
            value = args[i + 1];
        it->second(value);
    }
}

}  // namespace ovek
