// Stands in for a downloaded newer installer: writes down its command line
// and the folder it was started from.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/TestSupport.h"

int main() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.erase(folder.find_last_of(L'\\'));
    const std::wstring record = ovek::test::BuildPath(L"test-output\\newer-installer-probe.txt");
    std::FILE* out = ::_wfopen(record.c_str(), L"w, ccs=UTF-8");
    if (!out) return 1;
    std::fwprintf(out, L"%ls\n%ls\n", ::GetCommandLineW(), folder.c_str());
    std::fclose(out);
    return 0;
}
