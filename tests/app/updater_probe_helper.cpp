// Stands in for a downloaded newer installer: records its command line.
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "support/TestSupport.h"

int main() {
    std::wofstream out(std::filesystem::path(ovek::test::BuildPath(L"test-output\\updater-probe.txt")));
    out << ::GetCommandLineW();
    return 0;
}
