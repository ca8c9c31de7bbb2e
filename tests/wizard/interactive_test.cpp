// A person's run of the installer, end to end through its real windows:
// settings, Install, the status page, the success page and its two ways out,
// the consent region, and closing in the middle of a download.
#include <gtest/gtest.h>

#include <msi.h>

#include "support/WindowTesting.h"
#include "wizard/WizardScenario.h"

namespace ovek::wizardtest {
namespace {

using test::WizardPage;

constexpr int kInstall = 133;
constexpr int kAcceptCheck = 134;
constexpr int kFolderEdit = 143;
constexpr int kStatusText = 122;
constexpr int kStartNow = 1;

std::wstring ProductInfo(const wchar_t* property) {
    wchar_t buffer[MAX_PATH];
    DWORD size = MAX_PATH;
    if (::MsiGetProductInfoW(test::kSampleProduct.productCode, property, buffer, &size) != ERROR_SUCCESS) return {};
    return buffer;
}

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

// The check box shows its ticked picture: blue fills part of its cell.
bool LooksTicked(HWND check) {
    const test::PixelBuffer shot = test::CaptureWindow(check);
    const RECT all{0, 0, shot.Width(), shot.Height()};
    return shot.Width() > 0 && test::CountColor(shot, {7, 165, 216}, 40, all) > shot.Width();
}

void SaveShot(test::WizardDriver& driver, const wchar_t* page) {
    test::PixelBuffer shot;
    test::WaitForCapture(driver.Wizard(), [](const test::PixelBuffer& p) { return p.Width() > 0; }, shot, 5000);
    test::SaveScreenshot(shot, std::wstring(L"wizard-") + page + L"-" + std::to_wstring(test::ScreenDpi()));
}

class Interactive : public WizardScenario {
protected:
    // Settings: the folder typed in, Install pressed; on to the status page.
    void InstallFromSettings(test::WizardDriver& driver) {
        ASSERT_TRUE(WaitForPage(driver, WizardPage::Settings, kWindowLimitMs));
        ASSERT_TRUE(driver.SetText(kFolderEdit, installFolder_ + L"\\"));
        ASSERT_TRUE(driver.Enabled(kInstall));
        ASSERT_TRUE(driver.Click(kInstall));
        ASSERT_TRUE(WaitForPage(driver, WizardPage::Status, kWindowLimitMs));
    }
    void ExpectInstalledHere() {
        EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
        EXPECT_EQ(WithoutTrailingSlash(ProductInfo(INSTALLPROPERTY_INSTALLLOCATION)), installFolder_);
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"InstallDir").value_or(L"none"), installFolder_ + L"\\");
        EXPECT_NE(::GetFileAttributesW((installFolder_ + L"\\KAVRO Free Video Editor.exe").c_str()),
                  INVALID_FILE_ATTRIBUTES);
        // The engine checked the version again and fetched the package.
        EXPECT_GE(RequestsFor("version.xml"), 1u);
        EXPECT_GE(RequestsFor("kavro_free.msi"), 1u);
    }
};

TEST_F(Interactive, SettingsInstallStatusSuccessStartNow) {
    const bool shell = DesktopShellAvailable();
    test::WizardDriver driver = StartInstaller(L"/n");
    ASSERT_TRUE(WaitForPage(driver, WizardPage::Settings, kWindowLimitMs));
    if (test::ScreenDpi() == 96) {
        const RECT r = driver.WindowRect();
        EXPECT_EQ(r.right - r.left, 662);
        EXPECT_EQ(r.bottom - r.top, 446);
    }
    SaveShot(driver, L"settings");
    InstallFromSettings(driver);
    SaveShot(driver, L"status");
    ASSERT_TRUE(WaitForPage(driver, WizardPage::Success, kInstallLimitMs));
    SaveShot(driver, L"success");
    ExpectInstalledHere();
    // Nothing is opened before Start Now.
    EXPECT_TRUE(OpenedAddresses().empty());

    ASSERT_TRUE(driver.Click(kStartNow));
    ASSERT_TRUE(WaitForEnd(driver, kWindowLimitMs));
    if (shell) {
        EXPECT_TRUE(WaitForProductStart(10000)) << "the product was not started";
    }
    ASSERT_TRUE(test::WaitUntil([&] { return !OpenedAddresses().empty(); }, 10000)) << "no home page was opened";
    EXPECT_EQ(OpenedAddresses(), std::vector<std::wstring>{kHomepage});
    if (!shell) GTEST_SKIP() << "no desktop shell here to start the product";
}

TEST_F(Interactive, ClosingOnTheSuccessPageOpensTheHomePageAndStartsNothing) {
    test::WizardDriver driver = StartInstaller(L"/n");
    InstallFromSettings(driver);
    ASSERT_TRUE(WaitForPage(driver, WizardPage::Success, kInstallLimitMs));
    driver.Close();
    ASSERT_TRUE(WaitForEnd(driver, kWindowLimitMs));
    // No question was asked: the box would have kept the wizard open.
    ASSERT_TRUE(test::WaitUntil([&] { return !OpenedAddresses().empty(); }, 10000)) << "no home page was opened";
    EXPECT_TRUE(ProductStaysStopped(2000)) << "the product was started";
    EXPECT_EQ(OpenedAddresses(), std::vector<std::wstring>{kHomepage});
    ExpectInstalledHere();
}

TEST_F(Interactive, AConsentRegionStartsUntickedWithInstallDisabled) {
    ScopedRegion germany(L"94");
    test::WizardDriver driver = StartInstaller(L"/n");
    ASSERT_TRUE(WaitForPage(driver, WizardPage::Settings, kWindowLimitMs));
    HWND check = driver.Control(kAcceptCheck);
    ASSERT_TRUE(check);
    ASSERT_TRUE(test::WaitForPaint(driver.Wizard(), 5000));
    EXPECT_FALSE(driver.Enabled(kInstall));
    EXPECT_FALSE(LooksTicked(check));
    // Pressing the disabled Install goes nowhere.
    driver.Click(kInstall);
    ASSERT_TRUE(driver.Click(kAcceptCheck));
    EXPECT_TRUE(test::WaitUntil([&] { return driver.Enabled(kInstall); }, 5000)) << "Install stayed disabled";
    EXPECT_TRUE(test::WaitUntil([&] { return LooksTicked(check); }, 5000)) << "the box shows no tick";
    EXPECT_EQ(driver.Page(), WizardPage::Settings);

    // Leaving: the question, answered Yes, ends the wizard.
    driver.Close();
    const test::MessageBoxWindow box = driver.AnswerMessageBox(IDYES, kWindowLimitMs);
    ASSERT_TRUE(box.window) << "no question came";
    EXPECT_EQ(box.text, L"Are you sure you want to cancel the installing process?");
    EXPECT_EQ(box.caption, L"KAVRO");
    ASSERT_TRUE(WaitForEnd(driver, kWindowLimitMs));
    EXPECT_FALSE(test::IsProductInstalled(test::kSampleProduct));
    EXPECT_EQ(RequestsFor("kavro_free.msi"), 0u);
}

TEST_F(Interactive, ClosingDuringADownloadPausesItNoResumesYesCancels) {
    ServePackage(48 * 1024);
    test::WizardDriver driver = StartInstaller(L"/n");
    InstallFromSettings(driver);
    ASSERT_TRUE(test::WaitUntil([&] { return DownloadedBytes() > 0; }, kWindowLimitMs)) << "the download never began";

    driver.Close();
    const test::MessageBoxWindow question = driver.WaitForMessageBox(kWindowLimitMs);
    ASSERT_TRUE(question.window) << "no question came";
    EXPECT_EQ(question.text, L"Are you sure you want to cancel the installing process?");
    // While the question is open no byte moves: once the read in flight has
    // landed, the file stays as it is.
    std::uint64_t held = DownloadedBytes();
    ULONGLONG stableSince = ::GetTickCount64();
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            const std::uint64_t now = DownloadedBytes();
            if (now != held) held = now, stableSince = ::GetTickCount64();
            return ::GetTickCount64() - stableSince >= 400;
        },
        5000))
        << "the download did not hold behind the question";
    EXPECT_FALSE(test::WaitUntil([&] { return DownloadedBytes() != held; }, 1500))
        << "the download went on behind the question";

    ASSERT_TRUE(driver.AnswerMessageBox(IDNO, 5000).window);
    EXPECT_TRUE(test::WaitUntil([&] { return DownloadedBytes() > held; }, 10000)) << "No did not resume the download";
    EXPECT_EQ(driver.Page(), WizardPage::Status);

    driver.Close();
    ASSERT_TRUE(driver.AnswerMessageBox(IDYES, kWindowLimitMs).window) << "no second question came";
    // A close after Yes is ignored: no new question, the wizard ends by itself.
    driver.Close();
    bool asked = false;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            asked = asked || driver.FindMessageBox().window != nullptr;
            return driver.Wizard() == nullptr;
        },
        kWindowLimitMs))
        << "the wizard did not close itself after Yes";
    EXPECT_FALSE(asked) << "a close after Yes asked again";
    ASSERT_TRUE(WaitForEnd(driver, kWindowLimitMs));
    EXPECT_FALSE(test::IsProductInstalled(test::kSampleProduct));
    EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"InstallDir"));
}

}  // namespace
}  // namespace ovek::wizardtest
