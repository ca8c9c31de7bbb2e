#pragma once
// The application object of our window framework: one per process, built
// before the entry point. Start-up is InitInstance; whatever it returns, the
// exit step ExitInstance follows. Every window is modal, so there is no
// message loop of the application's own.
#include <windows.h>
#include <string>

namespace ovek {

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The entry point's whole work: start-up, then the exit step.
    int Run(HINSTANCE instance);

    HINSTANCE Instance() const { return instance_; }
    HWND MainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND window) { mainWindow_ = window; }
    const std::wstring& SettingsRoot() const { return settingsRoot_; }

    static CWinApp* Current() { return current_; }

protected:
    virtual bool InitInstance() = 0;
    virtual int ExitInstance() = 0;

    // The framework's own initialisation and shut-down, run by InitInstance
    // and ExitInstance of the derived application.
    bool InitApplication();
    void ExitApplication();
    // Where the framework would keep per-application settings; nothing of
    // ours is stored there.
    void SetRegistryKey(const std::wstring& root) { settingsRoot_ = root; }

private:
    HINSTANCE instance_ = nullptr;
    HWND mainWindow_ = nullptr;
    std::wstring settingsRoot_;
    static CWinApp* current_;
};

}  // namespace ovek
