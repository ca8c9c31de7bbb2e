// `make demo` on a machine without a display of its own: starts the
// installer, clicks through its wizard as a person would (accept the terms
// when the box is empty, Install, wait, Start Now), saves a screenshot of
// each page and says whether the product was started.
//   demo_driver_helper.exe INSTALLER.exe SHOTS_FOLDER [installer arguments...]
// Exit code 0 when every page came and the product started. Every wait has a
// limit; a message box of the installer is written out, answered and ends the
// run as a failure.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <functional>
#include <string>

#include "framework/Handles.h"
#include "support/WindowTesting.h"

namespace {

using namespace ovek;
using namespace ovek::test;

// Control ids of the three pages.
constexpr int kInstallButton = 133;
constexpr int kAcceptBox = 134;
constexpr int kStatusLine = 122;
constexpr int kPercentLabel = 123;
constexpr int kStartNow = 1;
constexpr int kLaunchBox = 150;

constexpr Rgb kWindowBackground{24, 25, 30};
constexpr wchar_t kProductInstance[] = L"TesmoKavroFreeInstance_80";
constexpr wchar_t kProductQuit[] = L"OvekTestKavroEditorQuit";

struct Installer {
    UniqueHandle process;
    DWORD id = 0;
    bool Running() const { return ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT; }
};

DWORD OwnerOf(HWND window) {
    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    return id;
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(window, buffer, 1024);
    return buffer;
}

void Say(const std::wstring& line) {
    std::printf("demo: %ls\n", line.c_str());
    std::fflush(stdout);
}

HWND FindWizard(const Installer& installer) {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, L"OvekMasterInstallerClassName", nullptr)))
        if (OwnerOf(window) == installer.id && ::IsWindowVisible(window)) return window;
    return nullptr;
}

// The visible panel of the wizard that holds the control, or null.
HWND VisiblePanelWith(HWND wizard, int controlId) {
    for (HWND child = ::GetWindow(wizard, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child) && ::GetDlgItem(child, controlId)) return child;
    return nullptr;
}

// A message box of the installer: a top-level dialog that is not the wizard.
HWND FindMessageBox(const Installer& installer) {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, L"#32770", nullptr)))
        if (OwnerOf(window) == installer.id && ::IsWindowVisible(window)) return window;
    return nullptr;
}

// Writes the box out and answers it the way that ends things soonest.
void AnswerMessageBox(HWND box) {
    Say(L"the installer asks \"" + TextOf(::GetDlgItem(box, 0xFFFF)) + L"\" (" + TextOf(box) + L")");
    for (int answer : {IDOK, IDNO, IDCANCEL})
        if (HWND button = ::GetDlgItem(box, answer)) {
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            return;
        }
}

// Waits for `condition` while watching the installer: false when the limit
// passed, the installer ended or it showed a message box.
bool WaitFor(const Installer& installer, const wchar_t* what, const std::function<bool()>& condition,
             DWORD timeoutMs) {
    bool failed = false;
    const bool met = WaitUntil(
        [&] {
            if (condition()) return true;
            if (HWND box = FindMessageBox(installer)) {
                AnswerMessageBox(box);
                failed = true;
            } else if (!installer.Running()) {
                failed = true;
            }
            return failed;
        },
        timeoutMs);
    if (met && !failed) return true;
    if (!installer.Running()) Say(std::wstring(L"the installer ended while waiting for ") + what);
    else if (!met) Say(std::wstring(L"gave up waiting for ") + what);
    return false;
}

// A person's click: the pointer moves onto the control, presses and lets go.
void Click(HWND control) {
    RECT r{};
    ::GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    ::PostMessageW(control, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(control, WM_LBUTTONUP, 0, at);
}

// True once the window's pixels on the screen are mostly the theme's dark
// background: the page has painted.
bool LooksPainted(const PixelBuffer& shot) {
    RECT all{0, 0, shot.Width(), shot.Height()};
    return CountColor(shot, kWindowBackground, 3, all) > shot.Width() * shot.Height() / 5;
}

bool SavePage(HWND wizard, const std::wstring& folder, const std::wstring& name) {
    PixelBuffer shot;
    WaitForPaint(wizard, 5000);
    if (!WaitForCapture(wizard, LooksPainted, shot, 5000)) Say(L"the " + name + L" page looks unpainted");
    const std::wstring path = folder + L"\\" + name + L".png";
    if (!SavePng(shot, path)) {
        Say(L"could not save " + path);
        return false;
    }
    Say(L"saved " + path + L" (" + std::to_wstring(shot.Width()) + L" x " + std::to_wstring(shot.Height()) + L")");
    return true;
}

bool ProductRunning() {
    UniqueHandle instance(::OpenSemaphoreW(SYNCHRONIZE, FALSE, kProductInstance));
    return static_cast<bool>(instance);
}

int Run(const std::wstring& installerPath, const std::wstring& shots, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + installerPath + L"\"" + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        Say(L"could not start " + installerPath);
        return 1;
    }
    Installer installer{UniqueHandle(pi.hProcess), pi.dwProcessId};
    ::CloseHandle(pi.hThread);
    auto fail = [&] {
        if (installer.Running()) {
            Say(L"ending the installer");
            ::TerminateProcess(installer.process.get(), 1);
            ::WaitForSingleObject(installer.process.get(), 10000);
        }
        return 1;
    };

    HWND wizard = nullptr, page = nullptr;
    // The version check comes first; then the settings page.
    if (!WaitFor(installer, L"the settings page", [&] {
            wizard = FindWizard(installer);
            return wizard && (page = VisiblePanelWith(wizard, kInstallButton));
        }, 60000))
        return fail();
    if (!SavePage(wizard, shots, L"1-settings")) return fail();

    HWND install = ::GetDlgItem(page, kInstallButton);
    if (!::IsWindowEnabled(install)) {
        Say(L"the licence box starts empty here: ticking it");
        Click(::GetDlgItem(page, kAcceptBox));
        if (!WaitFor(installer, L"Install to be enabled", [&] { return ::IsWindowEnabled(install) != FALSE; }, 5000))
            return fail();
    }
    Say(L"pressing " + TextOf(install));
    Click(install);

    HWND status = nullptr;
    if (!WaitFor(installer, L"the status page",
                 [&] { return (status = VisiblePanelWith(wizard, kStatusLine)) != nullptr; }, 20000))
        return fail();
    // The first poll fills the percentage: the page then shows the download
    // or the installation under way.
    if (!WaitFor(installer, L"the first progress report",
                 [&] { return !TextOf(::GetDlgItem(status, kPercentLabel)).empty(); }, 30000))
        return fail();
    if (!SavePage(wizard, shots, L"2-status")) return fail();
    Say(L"status: " + TextOf(::GetDlgItem(status, kStatusLine)) + L" " + TextOf(::GetDlgItem(status, kPercentLabel)));

    HWND success = nullptr;
    if (!WaitFor(installer, L"the success page",
                 [&] { return (success = VisiblePanelWith(wizard, kLaunchBox)) != nullptr; }, 180000))
        return fail();
    if (!SavePage(wizard, shots, L"3-success")) return fail();

    HWND startNow = ::GetDlgItem(success, kStartNow);
    Say(L"pressing " + TextOf(startNow));
    Click(startNow);
    if (!WaitFor(installer, L"the product to start", ProductRunning, 20000)) return fail();
    Say(L"KAVRO Free is running");
    if (::WaitForSingleObject(installer.process.get(), 20000) != WAIT_OBJECT_0) {
        Say(L"the wizard did not close after Start Now");
        return fail();
    }
    Say(L"the wizard closed");
    // The stand-in product would run a few seconds more; the demo removes it next.
    UniqueHandle quit(::OpenEventW(EVENT_MODIFY_STATE, FALSE, kProductQuit));
    if (quit) ::SetEvent(quit.get());
    WaitUntil([] { return !ProductRunning(); }, 10000);
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        std::printf("usage: demo_driver_helper INSTALLER.exe SHOTS_FOLDER [installer arguments...]\n");
        return 2;
    }
    std::wstring arguments;
    for (int i = 3; i < argc; ++i) arguments += L" \"" + std::wstring(argv[i]) + L"\"";
    const std::wstring installer = argv[1], shots = argv[2];
    ::LocalFree(argv);
    return Run(installer, shots, arguments);
}
