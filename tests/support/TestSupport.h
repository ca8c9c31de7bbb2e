#pragma once
// Helpers shared by the test programs: paths into the source and build trees
// (as Windows paths under Wine's Z: drive) and child processes.
#include <windows.h>
#include <optional>
#include <string>

#include "framework/Handles.h"

namespace ovek::test {

// A Unix path as Wine's Z: drive sees it.
std::wstring WindowsPath(const std::string& unixPath);
std::wstring SourcePath(const std::wstring& relative);  // relative to the repository
std::wstring BuildPath(const std::wstring& relative);   // relative to the build folder

// A fresh, empty folder for one test, under the build folder.
std::wstring MakeTempFolder(const std::wstring& name);

class ChildProcess {
public:
    // Starts commandLine (program and arguments, already quoted).
    static std::optional<ChildProcess> Start(const std::wstring& commandLine);
    // Waits up to timeoutMs; nullopt when the process is still running.
    std::optional<DWORD> Wait(DWORD timeoutMs);
    void Kill();
    DWORD Id() const { return id_; }

private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

// Runs to completion within timeoutMs; nullopt when it could not start or
// did not end in time (then it is killed).
std::optional<DWORD> RunProcess(const std::wstring& commandLine, DWORD timeoutMs);

}  // namespace ovek::test
