// The installer's unattended ways through the wizard, end to end: "/s" shows
// nothing at all, "/l" starts the product instead of the success page, and
// an installed product opens the wizard on the status page.
#include <gtest/gtest.h>

#include "support/WindowTesting.h"
#include "wizard/WizardScenario.h"

namespace ovek::wizardtest {
namespace {

using test::WizardPage;

struct VisibleSearch {
    DWORD pid;
    bool found = false;
};

// Any visible top-level window of the process.
bool ProcessShowsAWindow(DWORD pid) {
    VisibleSearch search{pid};
    ::EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<VisibleSearch*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s->pid && ::IsWindowVisible(window)) {
                s->found = true;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class Modes : public WizardScenario {};

TEST_F(Modes, SilentShowsNoWindowAndInstalls) {
    test::WizardDriver driver = StartInstaller(L"/s /n");
    bool shown = false, wizardSeen = false;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            shown = shown || ProcessShowsAWindow(driver.ProcessId());
            wizardSeen = wizardSeen || driver.Wizard() != nullptr;
            return installer_->Wait(0).has_value();
        },
        kInstallLimitMs))
        << "the silent run did not end";
    EXPECT_FALSE(shown) << "a window of the silent run became visible";
    EXPECT_TRUE(wizardSeen) << "the silent run never made its (hidden) wizard";
    EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
    EXPECT_TRUE(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"InstallDir"));
    EXPECT_TRUE(OpenedAddresses().empty()) << "a silent run opened the home page";
}

TEST_F(Modes, LaunchAfterInstallStartsTheProductWithoutTheSuccessPage) {
    const bool shell = DesktopShellAvailable();
    test::WizardDriver driver = StartInstaller(L"/l /n");
    ASSERT_TRUE(WaitForPage(driver, WizardPage::Settings, kWindowLimitMs));
    ASSERT_TRUE(driver.SetText(143, installFolder_));
    ASSERT_TRUE(driver.Click(133));
    ASSERT_TRUE(WaitForPage(driver, WizardPage::Status, kWindowLimitMs));
    bool successSeen = false;
    test::MessageBoxWindow box;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            successSeen = successSeen || driver.Page() == WizardPage::Success;
            box = driver.FindMessageBox();
            return box.window || driver.Wizard() == nullptr;
        },
        kInstallLimitMs))
        << "the wizard did not close after the installation";
    ASSERT_FALSE(box.window) << "unexpected message: " << Narrow(box.text);
    EXPECT_FALSE(successSeen);
    ASSERT_TRUE(WaitForEnd(driver, kWindowLimitMs));
    EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
    EXPECT_TRUE(OpenedAddresses().empty()) << "\"/l\" opened the home page";
    if (!shell) GTEST_SKIP() << "no desktop shell here to start the product";
    EXPECT_TRUE(WaitForProductStart(10000)) << "the product was not started";
}

TEST_F(Modes, AnInstalledProductOpensOnTheStatusPage) {
    test::ScopedInstall installed(test::kSampleProduct);
    ASSERT_EQ(installed.Result(), static_cast<UINT>(ERROR_SUCCESS));
    test::WizardDriver driver = StartInstaller(L"/n");
    WizardPage first = WizardPage::None;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            first = driver.Page();
            return first != WizardPage::None || (installer_ && installer_->Wait(0));
        },
        kWindowLimitMs))
        << "no page was shown";
    EXPECT_EQ(first, WizardPage::Status);
    // Leave: answer whatever the engine or the close asks, until it is gone.
    driver.Close();
    test::WaitUntil(
        [&] {
            if (driver.FindMessageBox().window && !driver.AnswerMessageBox(IDYES, 1000).window)
                driver.AnswerMessageBox(IDOK, 1000);
            return driver.Wizard() == nullptr;
        },
        kWindowLimitMs);
    EXPECT_TRUE(WaitForEnd(driver, kWindowLimitMs));
}

}  // namespace
}  // namespace ovek::wizardtest
