#pragma once
// Small stand-ins for the executable packages (a dependency, a language pack):
// each writes the command line it was started with to "<its own path>.cmdline"
// (UTF-16) and ends, so tests can see what the installer passed.
#include <windows.h>

#include <string>

inline int RecordCommandLine() {
    wchar_t self[MAX_PATH * 2];
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2) return 2;
    const std::wstring path = std::wstring(self) + L".cmdline";
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    const wchar_t* line = ::GetCommandLineW();
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(wcslen(line) * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
    return 0;
}
