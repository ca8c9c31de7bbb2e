#pragma once
// Before installing: are programs of the product running? After installing:
// start the product with the desktop user's rights rather than ours.
#include <windows.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "framework/Handles.h"

namespace ovek {

struct MonitoredProgram {
    const wchar_t* semaphoreName;
    const wchar_t* programName;
};

// The programs whose semaphores tell that they run, in the order shown.
const std::vector<MonitoredProgram>& MonitoredPrograms();

// Names of the monitored programs that run right now.
std::vector<std::wstring> FindRunningPrograms();

// The question shown while programs run: the introduction, a blank line and
// one name per line.
std::wstring RunningProgramsMessage(const std::wstring& introduction, const std::vector<std::wstring>& names);

// True when none of the programs runs; asks the user (Retry / Cancel) as long
// as one does, and returns false when the user gives up.
bool CheckRunningProducts(const std::wstring& caption, HWND owner);

// The desktop's shell view, or nothing when there is no desktop shell.
ComPtr<IShellView> FindDesktopShellView();

// Asks the desktop shell to start the program. COM must be initialised on the
// calling thread. Does nothing, silently, when the shell cannot be reached.
void LaunchAsDesktopUser(const std::wstring& path);

}  // namespace ovek
