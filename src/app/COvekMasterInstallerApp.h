#pragma once
// The application object: single-instance rule, command line, the order of
// the start-up phases and the exit step that may hand over to an updater.
#include <windows.h>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "validate/CClientValidator.h"

namespace ovek {

inline constexpr wchar_t kInstanceSemaphoreName[] = L"TesmoKavroFreeInstaller_80";
inline constexpr wchar_t kMainWindowClassName[] = L"OvekMasterInstallerClassName";
inline constexpr wchar_t kUpdaterLaunchFailed[] = L"The updater cannot be launched!";

class COvekMasterInstallerApp : public CWinApp {
public:
    COvekMasterInstallerApp() = default;

    // The four switches and their handlers, built anew at each start.
    SwitchTable BuildSwitchTable();
    // Parses a wide argument vector (program path first) into the flags.
    void ParseArguments(const std::vector<std::wstring>& args);

    UniqueHandle instanceSemaphore;
    int productInstalled = 0;
    int relatedProductInstalled = 0;
    int silent = 0;
    int skipValidation = 0;
    int launchAfterInstall = 0;
    std::wstring requestedLanguage;
    CClientValidator validator;

protected:
    bool InitInstance() override;
    int ExitInstance() override;

    // The phases that belong to other parts of the program. Virtual so that a
    // test program can run the real start-up around phases of its own.
    virtual void InitTheme();
    virtual void LoadManifest();
    virtual void RunValidation();
    virtual void RunWizard();
    virtual void ReleaseTheme();

    // The argument vector as the runtime split it.
    virtual std::vector<std::wstring> Arguments() const;

private:
    bool RegisterMainWindowClass();
    static void BringFirstInstanceForward();
    void LaunchUpdaterIfDue();
};

COvekMasterInstallerApp& TheApp();

}  // namespace ovek
