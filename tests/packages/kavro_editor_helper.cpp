// Plays the product's video editor: it holds the editor's instance semaphore
// while it runs, and ends after a few seconds or as soon as the quit event is
// set. Arguments: [seconds] (default 5).
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    DWORD seconds = 5;
    if (argc > 1) seconds = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    HANDLE instance = ::CreateSemaphoreW(nullptr, 0, 1, L"TesmoKavroFreeInstance_80");
    HANDLE quit = ::CreateEventW(nullptr, TRUE, FALSE, L"OvekTestKavroEditorQuit");
    if (quit) ::WaitForSingleObject(quit, seconds * 1000);
    else ::Sleep(seconds * 1000);
    if (quit) ::CloseHandle(quit);
    if (instance) ::CloseHandle(instance);
    return 0;
}
