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
#include "support/WizardDriver.h"

namespace {

using namespace ovek;
using namespace ovek::test;

// Control ids of the pages.
constexpr int kInstallButton = 133;
constexpr int kAcceptBox = 134;
constexpr int kStatusLine = 122;
constexpr int kPercentLabel = 123;
constexpr int kStartNow = 1;

constexpr Rgb kWindowBackground{24, 25, 30};
constexpr Rgb kButtonFace{7, 165, 216};     // Install, Start Now, the bar's fill
constexpr Rgb kProgressTrack{75, 71, 70};
constexpr wchar_t kProductInstance[] = L"TesmoKavroFreeInstance_80";
constexpr wchar_t kProductQuit[] = L"OvekTestKavroEditorQuit";

void Say(const std::wstring& line) {
    std::printf("demo: %ls\n", line.c_str());
    std::fflush(stdout);
}

class Demo {
public:
    Demo(UniqueHandle process, DWORD id, std::wstring shots)
        : process_(std::move(process)), wizard_(id), shots_(std::move(shots)) {}

    bool Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

    // Waits for `condition` while watching the installer: false when the
    // limit passed, the installer ended or it showed a message box (which is
    // written out and answered).
    bool WaitFor(const wchar_t* what, const std::function<bool()>& condition, DWORD timeoutMs) {
        bool failed = false;
        const bool met = WaitUntil(
            [&] {
                if (condition()) return true;
                if (MessageBoxWindow box = wizard_.FindMessageBox(); IsMessageBox(box.window)) {
                    Say(L"the installer says \"" + box.text + L"\" (" + box.caption + L")");
                    for (int answer : {IDOK, IDNO, IDCANCEL})
                        if (wizard_.AnswerMessageBox(answer, 5000).window) break;
                    failed = true;
                } else if (!Running()) {
                    failed = true;
                }
                return failed;
            },
            timeoutMs);
        if (met && !failed) return true;
        if (!Running()) Say(std::wstring(L"the installer ended while waiting for ") + what);
        else if (!met) Say(std::wstring(L"gave up waiting for ") + what);
        return false;
    }

    bool WaitForPage(WizardPage page, DWORD timeoutMs) {
        const std::string name = PageName(page);
        const std::wstring what = L"the " + std::wstring(name.begin(), name.end()) + L" page";
        return WaitFor(what.c_str(), [&] { return wizard_.Page() == page; }, timeoutMs);
    }

    // Saves the page once it is on the screen with `mark` (its big button,
    // or its progress bar) drawn: child controls reach the screen after the
    // panel's own background.
    bool SavePage(const std::wstring& name, Rgb mark) {
        HWND window = wizard_.Wizard();
        PixelBuffer shot;
        WaitForPaint(window, 5000);
        auto complete = [&](const PixelBuffer& pixels) {
            RECT all{0, 0, pixels.Width(), pixels.Height()};
            return LooksPainted(pixels) && CountColor(pixels, mark, 3, all) > 300;
        };
        if (!WaitForCapture(window, complete, shot, 15000)) Say(L"the " + name + L" page looks unfinished");
        const std::wstring path = shots_ + L"\\" + name + L".png";
        if (!SavePng(shot, path)) {
            Say(L"could not save " + path);
            return false;
        }
        Say(L"saved " + path + L" (" + std::to_wstring(shot.Width()) + L" x " + std::to_wstring(shot.Height()) +
            L")");
        return true;
    }

    int Fail() {
        if (Running()) {
            Say(L"ending the installer");
            ::TerminateProcess(process_.get(), 1);
            ::WaitForSingleObject(process_.get(), 10000);
        }
        return 1;
    }

    int Run() {
        // A fresh display has the pointer in its middle, where the centred
        // wizard has its Install button: the pages would show it hovered.
        ::SetCursorPos(0, ::GetSystemMetrics(SM_CYSCREEN) - 1);
        // The version check comes first; then the settings page.
        if (!WaitForPage(WizardPage::Settings, 60000) || !SavePage(L"1-settings", kButtonFace)) return Fail();
        if (!wizard_.Enabled(kInstallButton)) {
            Say(L"the licence box starts empty here: ticking it");
            wizard_.Click(kAcceptBox);
            if (!WaitFor(L"Install to be enabled", [&] { return wizard_.Enabled(kInstallButton); }, 5000))
                return Fail();
        }
        Say(L"pressing " + wizard_.Text(kInstallButton));
        wizard_.Click(kInstallButton);

        if (!WaitForPage(WizardPage::Status, 20000)) return Fail();
        // The first poll fills the percentage: the page then shows the
        // download or the installation under way.
        if (!WaitFor(L"the first progress report", [&] { return !wizard_.Text(kPercentLabel).empty(); }, 30000))
            return Fail();
        const std::wstring status = wizard_.Text(kStatusLine) + L" " + wizard_.Text(kPercentLabel);
        if (!SavePage(L"2-status", kProgressTrack)) return Fail();
        Say(L"status: " + status);

        if (!WaitForPage(WizardPage::Success, 180000) || !SavePage(L"3-success", kButtonFace)) return Fail();
        Say(L"pressing " + wizard_.Text(kStartNow));
        wizard_.Click(kStartNow);
        if (!WaitFor(L"the product to start", ProductRunning, 20000)) return Fail();
        Say(L"KAVRO Free is running");
        if (::WaitForSingleObject(process_.get(), 20000) != WAIT_OBJECT_0) {
            Say(L"the wizard did not close after Start Now");
            return Fail();
        }
        Say(L"the wizard closed");
        // The stand-in product would run a few seconds more; the demo removes it next.
        UniqueHandle quit(::OpenEventW(EVENT_MODIFY_STATE, FALSE, kProductQuit));
        if (quit) ::SetEvent(quit.get());
        WaitUntil([] { return !ProductRunning(); }, 10000);
        return 0;
    }

private:
    // The validation dialog is a dialog of the process too, but it has no
    // buttons to answer.
    static bool IsMessageBox(HWND window) {
        if (!window) return false;
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
            if (::GetDlgItem(window, id)) return true;
        return false;
    }

    // Mostly the theme's dark background on the screen: the page has painted.
    static bool LooksPainted(const PixelBuffer& shot) {
        RECT all{0, 0, shot.Width(), shot.Height()};
        return CountColor(shot, kWindowBackground, 3, all) > shot.Width() * shot.Height() / 5;
    }

    static bool ProductRunning() {
        UniqueHandle instance(::OpenSemaphoreW(SYNCHRONIZE, FALSE, kProductInstance));
        return static_cast<bool>(instance);
    }

    UniqueHandle process_;
    WizardDriver wizard_;
    std::wstring shots_;
};

int Run(const std::wstring& installerPath, const std::wstring& shots, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + installerPath + L"\"" + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        Say(L"could not start " + installerPath);
        return 1;
    }
    ::CloseHandle(pi.hThread);
    return Demo(UniqueHandle(pi.hProcess), pi.dwProcessId, shots).Run();
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
