#include "app/COvekMasterInstallerApp.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <cstdlib>

#include "app/AnsiText.h"
#include "framework/MessageBox.h"
#include "manifest/InstallerContext.h"
#include "ui/CInstallGuide.h"
#include "ui/Theme.h"

namespace ovek {

SwitchTable COvekMasterInstallerApp::BuildSwitchTable() {
    SwitchTable table;
    table["/s"] = [this](const std::wstring&) { silent = 1; };
    table["/n"] = [this](const std::wstring&) { skipValidation = 1; };
    table["/l"] = [this](const std::wstring&) { launchAfterInstall = 1; };
    table["/lang"] = [this](const std::wstring& value) { requestedLanguage = value; };
    return table;
}

void COvekMasterInstallerApp::ParseArguments(const std::vector<std::wstring>& args) {
    ParseCommandLine(args, ToThreadAnsi, BuildSwitchTable());
}

std::vector<std::wstring> COvekMasterInstallerApp::Arguments() const {
    std::vector<std::wstring> args;
    int count = 0;
    // The runtime's own split when it made one, the shell's otherwise.
    if (__wargv) {
        for (int i = 0; i < __argc; ++i) args.emplace_back(__wargv[i]);
        return args;
    }
    if (LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) args.emplace_back(argv[i]);
        ::LocalFree(argv);
    }
    return args;
}

bool COvekMasterInstallerApp::InitInstance() {
    instanceSemaphore.reset(::CreateSemaphoreW(nullptr, 0, 1, kInstanceSemaphoreName));
    if (instanceSemaphore && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        BringFirstInstanceForward();
        return false;
    }

    InitApplication();
    ParseArguments(Arguments());
    SetRegistryKey(L"Local AppWizard-Generated Applications");
    if (!RegisterMainWindowClass()) return false;

    InitTheme();
    LoadManifest();  // its code is not examined: later phases work with what it found

    if (!skipValidation) {
        validator.updaterPath.clear();
        RunValidation();
        if (validator.outcome != CClientValidator::kContinue) return false;
    }

    // COM for the shell objects the wizard uses; the result does not matter.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RunWizard();
    if (SUCCEEDED(com)) ::CoUninitialize();
    return false;  // every window was modal: no message loop follows
}

int COvekMasterInstallerApp::ExitInstance() {
    ReleaseTheme();
    instanceSemaphore.reset();
    LaunchUpdaterIfDue();
    ExitApplication();
    return 0;
}

void COvekMasterInstallerApp::BringFirstInstanceForward() {
    HWND first = ::FindWindowW(kMainWindowClassName, nullptr);
    if (!first) return;
    if (::IsIconic(first)) ::ShowWindow(first, SW_RESTORE);
    ::SetForegroundWindow(first);
}

bool COvekMasterInstallerApp::RegisterMainWindowClass() {
    // A copy of the system's dialog class under our own name, so that the
    // wizard's template can name it and a second copy can find us.
    WNDCLASSW wc{};
    if (!::GetClassInfoW(nullptr, MAKEINTATOM(0x8002), &wc)) return false;
    wc.hInstance = Instance();
    wc.lpszClassName = kMainWindowClassName;
    if (::RegisterClassW(&wc)) return true;
    // Already registered by this process (a second start-up in one test run).
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void COvekMasterInstallerApp::LaunchUpdaterIfDue() {
    if (validator.outcome != CClientValidator::kStartUpdater || validator.updaterPath.empty() ||
        !::PathFileExistsW(validator.updaterPath.c_str()))
        return;
    HINSTANCE result = ::ShellExecuteW(nullptr, L"open", validator.updaterPath.c_str(), L"/n", nullptr,
                                       SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        ShowMessageBox(nullptr, kUpdaterLaunchFailed, L"", MB_ICONERROR);
}

void COvekMasterInstallerApp::InitTheme() {
    InitThemePalette();
    CreateSharedFonts();
}

void COvekMasterInstallerApp::LoadManifest() { TheContext().LoadManifest(); }

void COvekMasterInstallerApp::RunValidation() { validator.RunModal(); }

namespace {

// The wizard as the application's main window for as long as it is up, so
// that the engine's messages have an owner.
class MainWizard final : public CInstallGuide {
protected:
    bool OnInitDialog() override {
        TheApp().SetMainWindow(Handle());
        return CInstallGuide::OnInitDialog();
    }
};

}  // namespace

void COvekMasterInstallerApp::RunWizard() {
    {
        MainWizard wizard;
        wizard.DoModal();
    }
    SetMainWindow(nullptr);
}

void COvekMasterInstallerApp::ReleaseTheme() { ReleaseSharedFonts(); }

COvekMasterInstallerApp& TheApp() {
    static COvekMasterInstallerApp app;
    return app;
}

}  // namespace ovek
