// A DLL planted beside a program under the name of a system DLL, as a web
// page could drop it into a downloads folder. Loading it is the attack: its
// start-up code sets the event "OvekTestPlantedDllLoaded". It exports the
// functions a program calls first, so that a program that loads it runs on.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        if (HANDLE loaded = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"OvekTestPlantedDllLoaded")) {
            ::SetEvent(loaded);
            ::CloseHandle(loaded);
        }
    }
    return TRUE;
}

extern "C" __declspec(dllexport) void* WINAPI InternetOpenW(const wchar_t*, DWORD, const wchar_t*, const wchar_t*,
                                                            DWORD) {
    return nullptr;
}

extern "C" __declspec(dllexport) BOOL WINAPI InternetCloseHandle(void*) { return FALSE; }
