#pragma once
// The real installer's windows seen from another process: its top-level
// windows, and ending its wizard the way a person would (close it, answer
// every question it asks with Yes), always within a time limit.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace ovek::test {

struct ProcessWindow {
    HWND handle;
    std::wstring className;
    bool visible;
};

// Top-level windows of the process.
std::vector<ProcessWindow> TopLevelWindows(DWORD processId);

// Closes the wizard of `child` and answers each box it shows with Yes (or
// OK), until the process ends; nullopt when it did not end in time (then it
// is killed).
std::optional<DWORD> CloseInstallerWizard(ChildProcess& child, DWORD timeoutMs);

}  // namespace ovek::test
