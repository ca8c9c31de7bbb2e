// Windows Installer progress records and log lines, one per input line, fed
// to one package's progress as the message handler does ("!" starts the next
// package, "@" marks a log line). The percentage must never go down.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzText.h"
#include "engine/PackageProgress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t last = 0;
    ovek::PackageProgress progress([&](int32_t percent) {
        if (percent < last) abort();
        last = percent;
    });
    std::wstring homepage;
    const std::wstring text = ovek::fuzz::DocumentText(data, size);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring_view line(text.data() + start, end - start);
        if (!line.empty() && line[0] == L'!') {
            progress.ResetForPackage();
        } else if (!line.empty() && line[0] == L'@') {
            ovek::ScanLogLine(line.substr(1), homepage);
        } else {
            const int answer = progress.ParseProgressMessage(line, line.size() % 7 == 3);
            if (answer != 1 && answer != 2) abort();
        }
        start = end + 1;
    }
    (void)ovek::ReadLong(std::wstring_view(text).substr(0, 32));
    return 0;
}
