// Stands in for the browser while `make demo` runs: the prefix's http handler
// points here, so the home page the installer opens is written down (one
// address a line, appended to FILE) instead of opening a browser.
//   demo_browser_helper.exe FILE ADDRESS
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) return 1;
    int result = 2;
    if (argc >= 3) {
        result = 1;
        if (std::FILE* out = _wfopen(argv[1], L"a")) {
            std::fprintf(out, "%ls\n", argv[2]);
            result = std::fclose(out) == 0 ? 0 : 1;
        }
    }
    ::LocalFree(argv);
    return result;
}
