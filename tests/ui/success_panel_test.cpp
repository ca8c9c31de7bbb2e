// The success page inside a real modal wizard: what Start Now and a close
// open and start, and what the page shows.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/COvekMasterInstallerApp.h"
#include "manifest/InstallerContext.h"
#include "res/resource.h"
#include "support/TestSupport.h"
#include "support/WindowTesting.h"
#include "ui/CInstallGuide.h"
#include "ui/CSuccessPanel.h"
#include "ui/SuccessRules.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

class WatchedSuccessPanel : public CSuccessPanel {
public:
    std::vector<std::wstring> opened, launched;

protected:
    void OpenAddress(const std::wstring& url) override { opened.push_back(url); }
    void LaunchProduct(const std::wstring& path) override { launched.push_back(path); }
};

// A wizard whose first two pages are blank, started on the success page.
class SuccessGuide : public CInstallGuide {
public:
    std::shared_ptr<WatchedSuccessPanel> success;
    std::function<void(SuccessGuide&)> script;
    static constexpr INT_PTR kTimedOut = 99;

protected:
    std::shared_ptr<CGuidePanel> MakePanel(int key) override {
        if (key != kSuccessPanel) return std::make_shared<CGuidePanel>();
        success = std::make_shared<WatchedSuccessPanel>();
        return success;
    }
    bool OnInitDialog() override {
        const bool result = CInstallGuide::OnInitDialog();
        ShowPanel(kSuccessPanel);
        ::SetTimer(Handle(), kWatchdog, 15000, nullptr);
        ::PostMessageW(Handle(), kRunScript, 0, 0);
        return result;
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kRunScript) {
            if (script) script(*this);
            return 0;
        }
        if (msg == WM_TIMER && wp == kWatchdog) {
            End(kTimedOut);
            return 0;
        }
        return CInstallGuide::WindowProc(msg, wp, lp);
    }

private:
    static constexpr UINT kRunScript = WM_APP + 78;
    static constexpr UINT_PTR kWatchdog = 4711;
};

// A real press of the left button at the control's centre.
void Press(HWND control) {
    RECT r{};
    ::GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(control, WM_LBUTTONUP, 0, at);
}

class SuccessPage : public ::testing::Test {
protected:
    static constexpr wchar_t kHomepage[] = L"http://127.0.0.1/kavro-free/welcome";

    void SetUp() override {
        ASSERT_TRUE(test::RegisterInstallerWindowClass());
        CreateSharedFonts();
        InstallerContext& c = TheContext();
        c = InstallerContext();
        c.manifest.fullName = L"KAVRO Free";
        c.manifest.shortName = L"KAVRO";
        c.manifest.executable = L"KAVRO Free Video Editor.exe";
        folder_ = test::MakeTempFolder(L"success page");
        c.installFolder = folder_ + L"\\";
        program_ = folder_ + L"\\KAVRO Free Video Editor.exe";
        UniqueHandle file(::CreateFileW(program_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        c.installHomepageUrl = kHomepage;
        TheApp().productInstalled = 0;
        TheApp().relatedProductInstalled = 0;
    }
    void TearDown() override {
        TheApp().productInstalled = 0;
        TheApp().relatedProductInstalled = 0;
        TheContext() = InstallerContext();
        ReleaseSharedFonts();
    }

    std::wstring folder_, program_;
};

TEST_F(SuccessPage, StartNowOpensTheHomePageThenStartsTheProductAndEnds) {
    SuccessGuide guide;
    ULONGLONG pressedAt = 0;
    size_t openedAtPress = 0;
    guide.script = [&](SuccessGuide& g) {
        pressedAt = ::GetTickCount64();
        Press(::GetDlgItem(g.success->Handle(), IDC_START_NOW));
        // The home page opens at once, the product only later.
        ASSERT_TRUE(test::WaitUntil([&] { return !g.success->opened.empty(); }, 5000));
        openedAtPress = g.success->opened.size();
        EXPECT_TRUE(g.success->launched.empty());
    };
    EXPECT_EQ(guide.DoModal(), IDOK);
    const ULONGLONG waited = ::GetTickCount64() - pressedAt;
    EXPECT_EQ(openedAtPress, 1u);
    EXPECT_EQ(guide.success->opened, std::vector<std::wstring>{kHomepage});
    EXPECT_EQ(guide.success->launched, std::vector<std::wstring>{program_});
    EXPECT_GE(waited, 450u);
}

TEST_F(SuccessPage, CloseAfterStartNowOpensTheHomePageOnlyOnce) {
    SuccessGuide guide;
    guide.script = [&](SuccessGuide& g) {
        ::SendMessageW(g.success->Handle(), WM_COMMAND, MAKEWPARAM(IDC_START_NOW, BN_CLICKED), 0);
        ::SendMessageW(g.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    EXPECT_EQ(guide.DoModal(), IDCANCEL);
    EXPECT_EQ(guide.success->opened.size(), 1u);
    // The close ended the wizard before the product's turn came.
    EXPECT_TRUE(guide.success->launched.empty());
}

TEST_F(SuccessPage, CloseOpensTheHomePageAndStartsNothing) {
    SuccessGuide guide;
    guide.script = [&](SuccessGuide& g) { ::PostMessageW(g.Handle(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(guide.DoModal(), IDCANCEL);
    EXPECT_EQ(guide.success->opened, std::vector<std::wstring>{kHomepage});
    EXPECT_TRUE(guide.success->launched.empty());
    EXPECT_TRUE(guide.success->HomePageOpened());
}

TEST_F(SuccessPage, NoHomePageForAnUpdateOrWithoutAnAddress) {
    struct Case {
        const char* name;
        int productInstalled, relatedInstalled;
        const wchar_t* url;
    };
    const Case cases[] = {
        {"product installed", 1, 0, kHomepage},
        {"related product installed", 0, 1, kHomepage},
        {"no address", 0, 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TheApp().productInstalled = c.productInstalled;
        TheApp().relatedProductInstalled = c.relatedInstalled;
        TheContext().installHomepageUrl = c.url;
        SuccessGuide guide;
        guide.script = [&](SuccessGuide& g) {
            Press(::GetDlgItem(g.success->Handle(), IDC_START_NOW));
        };
        EXPECT_EQ(guide.DoModal(), IDOK);
        EXPECT_TRUE(guide.success->opened.empty());
        // The product still starts.
        EXPECT_EQ(guide.success->launched.size(), 1u);
        TheApp().productInstalled = TheApp().relatedProductInstalled = 0;
    }
}

TEST_F(SuccessPage, AMissingProgramIsSkippedAndTheWizardStillEnds) {
    ASSERT_TRUE(::DeleteFileW(program_.c_str()));
    SuccessGuide guide;
    guide.script = [&](SuccessGuide& g) { Press(::GetDlgItem(g.success->Handle(), IDC_START_NOW)); };
    EXPECT_EQ(guide.DoModal(), IDOK);
    EXPECT_EQ(guide.success->opened.size(), 1u);
    EXPECT_TRUE(guide.success->launched.empty());
}

TEST_F(SuccessPage, ShowsTheTitleAndStartNowAndKeepsTheLaunchChoiceHidden) {
    SuccessGuide guide;
    test::PixelBuffer shot;
    bool captured = false;
    std::wstring caption, label;
    bool checkVisible = true, labelVisible = true;
    RECT button{}, labelRect{};
    guide.script = [&](SuccessGuide& g) {
        HWND panel = g.success->Handle();
        ::ShowWindow(g.Handle(), SW_SHOW);
        wchar_t text[128]{};
        ::GetWindowTextW(::GetDlgItem(panel, IDC_START_NOW), text, 128);
        caption = text;
        ::GetWindowTextW(::GetDlgItem(panel, IDC_LAUNCH_LABEL), text, 128);
        label = text;
        checkVisible = ::IsWindowVisible(::GetDlgItem(panel, IDC_LAUNCH_CHECK));
        labelVisible = ::IsWindowVisible(::GetDlgItem(panel, IDC_LAUNCH_LABEL));
        ::GetWindowRect(::GetDlgItem(panel, IDC_START_NOW), &button);
        ::MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&button), 2);
        ::GetWindowRect(::GetDlgItem(panel, IDC_LAUNCH_LABEL), &labelRect);
        ::MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&labelRect), 2);
        // The title: white text between the icon and Start Now.
        const RECT titleBand{0, ScaleX(154), ScaleX(660), ScaleX(240)};
        captured = test::WaitForCapture(
            panel, [&](const test::PixelBuffer& p) { return test::CountColor(p, {255, 255, 255}, 20, titleBand) > 100; },
            shot, 10000);
        g.End(IDOK);
    };
    guide.DoModal();
    EXPECT_EQ(caption, L"Start Now");
    EXPECT_EQ(label, L"Launch KAVRO Free");
    EXPECT_FALSE(checkVisible);
    EXPECT_FALSE(labelVisible);
    EXPECT_EQ(button.right - button.left, ScaleX(300));
    EXPECT_EQ(button.bottom - button.top, ScaleY(34));
    EXPECT_EQ(button.top, ScaleX(240));
    EXPECT_EQ(labelRect.left, ScaleY(30) + ScaleX(20) + ScaleX(4));
    ASSERT_TRUE(captured) << "the title never reached the screen";
    test::SaveScreenshot(shot, L"success-page-" + std::to_wstring(Resolution().dpiX));
    // Centred: the white text is about as far from the left as from the right.
    const auto title = test::FindColorBounds(shot, {255, 255, 255}, 20, RECT{0, ScaleX(154), shot.Width(), ScaleX(240)});
    ASSERT_TRUE(title);
    EXPECT_NEAR(title->left, shot.Width() - title->right, ScaleX(6));
}

TEST(SuccessLayoutRules, PlacesThePiecesAtEachResolution) {
    struct Case {
        int dpi;
        FrameBox icon, startNow, check;
    };
    const Case cases[] = {
        {96, {298, 90, 362, 154}, {180, 240, 480, 274}, {30, 376, 50, 396}},
        {144, {447, 135, 543, 231}, {270, 360, 720, 411}, {45, 565, 75, 595}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const FrameBox client{0, 0, ScaleBy(c.dpi, 660), ScaleBy(c.dpi, 446) - ScaleBy(c.dpi, 29) - ScaleBy(c.dpi, 1)};
        const SuccessLayout l = ComputeSuccessLayout(client, c.dpi, c.dpi, 0, 0);
        EXPECT_EQ(l.icon, c.icon);
        EXPECT_EQ(l.startNow, c.startNow);
        EXPECT_EQ(l.launchCheck, c.check);
        EXPECT_EQ(l.launchLabel.left, c.check.right + ScaleBy(c.dpi, 4));
        EXPECT_EQ(l.launchLabel.right, client.right);
        EXPECT_TRUE(l.title.Empty());
    }
}

TEST(SuccessLayoutRules, TheTitleIsCentredBelowTheIconAndNeverWiderThanThePage) {
    const FrameBox client{0, 0, 660, 416};
    const SuccessLayout fits = ComputeSuccessLayout(client, 96, 96, 200, 36);
    EXPECT_EQ(fits.title, (FrameBox{230, 154 + 18, 430, 154 + 18 + 36}));
    const SuccessLayout wide = ComputeSuccessLayout(client, 96, 96, 2000, 36);
    EXPECT_EQ(wide.title.left, 0);
    EXPECT_EQ(wide.title.right, 660);
}

TEST(SuccessHomePage, OpensOnlyOnceAfterAFreshInstallWithAnAddress) {
    const std::wstring url = L"http://127.0.0.1/welcome";
    EXPECT_TRUE(ShouldOpenHomePage(false, false, false, url));
    EXPECT_FALSE(ShouldOpenHomePage(false, false, true, url));
    EXPECT_FALSE(ShouldOpenHomePage(true, false, false, url));
    EXPECT_FALSE(ShouldOpenHomePage(false, true, false, url));
    EXPECT_FALSE(ShouldOpenHomePage(false, false, false, L""));
}

}  // namespace
}  // namespace ovek
