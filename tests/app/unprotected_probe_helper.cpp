// A program with the installer's delay-loaded imports but without its entry
// point: the DLL search stays as Windows starts it, program folder first.
#include <windows.h>
#include <wininet.h>

int main() {
    if (HINTERNET session = ::InternetOpenW(L"probe", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0))
        ::InternetCloseHandle(session);
    return 0;
}
