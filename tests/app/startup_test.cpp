#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/COvekMasterInstallerApp.h"
#include "framework/MessageBox.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

using test::BuildPath;

// Waits for a child while answering window messages, so that a second copy
// can restore our window.
std::optional<DWORD> WaitPumping(test::ChildProcess& child, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        if (auto code = child.Wait(20)) return code;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    return std::nullopt;
}

std::wstring InstallerCommand(const std::wstring& args = L"") {
    return L"\"" + BuildPath(L"OvekWebInstaller.exe") + L"\"" + (args.empty() ? L"" : L" " + args);
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override {
        semaphore_.reset(::CreateSemaphoreW(nullptr, 0, 1, kInstanceSemaphoreName));
        ASSERT_TRUE(semaphore_);
        ASSERT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "an installer is running";
    }
    UniqueHandle semaphore_;
};

TEST_F(SingleInstance, SecondCopyRestoresTheFirstWindowAndEnds) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kMainWindowClassName;
    ASSERT_TRUE(::RegisterClassW(&wc));
    HWND window = ::CreateWindowExW(0, kMainWindowClassName, L"first", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(window);
    ::ShowWindow(window, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(::IsIconic(window));

    auto child = test::ChildProcess::Start(InstallerCommand(L"/n /s"));
    ASSERT_TRUE(child);
    EXPECT_TRUE(WaitPumping(*child, 20000).has_value()) << "the second copy did not end";
    EXPECT_FALSE(::IsIconic(window)) << "the first copy's window was not restored";
    ::DestroyWindow(window);
    ::UnregisterClassW(kMainWindowClassName, wc.hInstance);
}

TEST_F(SingleInstance, SecondCopyWithoutWindowEnds) {
    auto code = test::RunProcess(InstallerCommand(L"/n"), 20000);
    EXPECT_TRUE(code.has_value());
}

TEST(FirstInstance, RealFirstCopyIsBroughtForwardBySecond) {
    UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, L"OvekTestReleaseFirstInstance"));
    auto first = test::ChildProcess::Start(L"\"" + BuildPath(L"first_instance_helper.exe") + L"\"");
    ASSERT_TRUE(first);
    HWND window = nullptr;
    for (int i = 0; i < 200 && !window; ++i) {
        ::Sleep(50);
        window = ::FindWindowW(kMainWindowClassName, L"first");
    }
    ASSERT_TRUE(window) << "the first copy opened no window";

    EXPECT_TRUE(test::RunProcess(InstallerCommand(), 20000).has_value()) << "the second copy did not end";
    ::SetEvent(release.get());
    auto code = first->Wait(20000);
    if (!code) first->Kill();
    EXPECT_EQ(code.value_or(99), 0u) << "3: the first window stayed minimised";
}

// The real start-up and exit step in this process, with scripted phases.
class ScriptedApp : public COvekMasterInstallerApp {
public:
    std::vector<std::wstring> args{L"OvekWebInstaller.exe"};
    int validationOutcome = CClientValidator::kContinue;
    std::wstring updater;
    int validations = 0, wizards = 0, manifests = 0;

protected:
    std::vector<std::wstring> Arguments() const override { return args; }
    void LoadManifest() override { ++manifests; }
    void RunValidation() override {
        ++validations;
        validator.outcome = validationOutcome;
        validator.updaterPath = updater;
    }
    void RunWizard() override { ++wizards; }
};

class ExitStep : public ::testing::Test {
protected:
    void SetUp() override {
        probe_ = BuildPath(L"test-output\\updater-probe.txt");
        test::MakeTempFolder(L"exit-step");
        ::DeleteFileW(probe_.c_str());
        previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes_.push_back(r.text);
            return IDOK;
        });
    }
    void TearDown() override { SetMessageBoxHandler(previous_); }

    // What the updater stand-in was started with, once it has run.
    std::wstring ProbeCommandLine() {
        for (int i = 0; i < 200; ++i) {
            std::wifstream in{std::filesystem::path(probe_)};
            std::wstring text((std::istreambuf_iterator<wchar_t>(in)), {});
            if (!text.empty()) return text;
            ::Sleep(50);
        }
        return L"";
    }

    std::wstring probe_;
    std::vector<std::wstring> boxes_;
    MessageBoxHandler previous_;
};

TEST_F(ExitStep, PhasesRunInOrderAndNoUpdaterByDefault) {
    ScriptedApp app;
    app.Run(nullptr);
    EXPECT_EQ(app.manifests, 1);
    EXPECT_EQ(app.validations, 1);
    EXPECT_EQ(app.wizards, 1);
    EXPECT_FALSE(app.instanceSemaphore) << "the exit step closes the semaphore";
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(ExitStep, SkipValidationSwitch) {
    ScriptedApp app;
    app.args.push_back(L"/n");
    app.Run(nullptr);
    EXPECT_EQ(app.validations, 0);
    EXPECT_EQ(app.wizards, 1);
}

TEST_F(ExitStep, StopOutcomeEndsWithoutWizard) {
    ScriptedApp app;
    app.validationOutcome = CClientValidator::kStop;
    app.Run(nullptr);
    EXPECT_EQ(app.wizards, 0);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(ExitStep, UpdaterStartsWithSkipSwitch) {
    ScriptedApp app;
    app.validationOutcome = CClientValidator::kStartUpdater;
    app.updater = BuildPath(L"updater_probe_helper.exe");
    app.Run(nullptr);
    EXPECT_EQ(app.wizards, 0);
    std::wstring commandLine = ProbeCommandLine();
    ASSERT_FALSE(commandLine.empty()) << "the updater was not started";
    EXPECT_EQ(commandLine.substr(commandLine.size() - 3), L" /n") << commandLine;
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(ExitStep, MissingUpdaterStartsNothingQuietly) {
    ScriptedApp app;
    app.validationOutcome = CClientValidator::kStartUpdater;
    app.updater = BuildPath(L"test-output\\exit-step\\missing.exe");
    app.Run(nullptr);
    EXPECT_EQ(app.wizards, 0);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(ExitStep, UpdaterThatCannotStartIsReported) {
    std::wstring notAProgram = BuildPath(L"test-output\\exit-step\\updater.ovek-unknown");
    std::ofstream(std::filesystem::path(notAProgram)) << "not a program";
    ScriptedApp app;
    app.validationOutcome = CClientValidator::kStartUpdater;
    app.updater = notAProgram;
    app.Run(nullptr);
    EXPECT_EQ(boxes_, std::vector<std::wstring>{L"The updater cannot be launched!"});
}

}  // namespace
}  // namespace ovek
