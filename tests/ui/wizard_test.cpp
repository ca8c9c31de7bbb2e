// The wizard window with panels of the test's own: sizes, panel order, the
// close rule and the panel background, in a real modal run.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "manifest/InstallerContext.h"
#include "support/WindowTesting.h"
#include "ui/CInstallGuide.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

class TestPanel : public CGuidePanel {
public:
    int shown = 0;
    bool mayClose = true;
    int closeAsked = 0;
    void OnPanelShown() override { ++shown; }
    bool CanClose() override {
        ++closeAsked;
        return mayClose;
    }
};

class TestGuide : public CInstallGuide {
public:
    std::vector<std::shared_ptr<TestPanel>> made;
    // Runs inside the modal loop once the window is up.
    std::function<void(TestGuide&)> script;

protected:
    std::shared_ptr<CGuidePanel> MakePanel(int) override {
        made.push_back(std::make_shared<TestPanel>());
        return made.back();
    }
    bool OnInitDialog() override {
        const bool result = CInstallGuide::OnInitDialog();
        ::PostMessageW(Handle(), kRunScript, 0, 0);
        return result;
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kRunScript) {
            if (script) script(*this);
            return 0;
        }
        return CInstallGuide::WindowProc(msg, wp, lp);
    }

private:
    static constexpr UINT kRunScript = WM_APP + 77;
};

// Shown by its own style: the modal loop shows the wizard itself only once
// it is idle, after the script has run.
bool Shown(const std::shared_ptr<TestPanel>& p) {
    return (::GetWindowLongPtrW(p->Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

SIZE WindowSize(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return {r.right - r.left, r.bottom - r.top};
}

class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        TheContext().manifest.fullName = L"KAVRO Free";
        ASSERT_TRUE(test::RegisterInstallerWindowClass());
        CreateSharedFonts();
    }
    void TearDown() override { ReleaseSharedFonts(); }
};

TEST_F(Wizard, OpensOnTheSettingsPanelAndMovesOnlyForward) {
    TestGuide guide;
    bool ran = false;
    guide.script = [&](TestGuide& g) {
        ran = true;
        HWND h = g.Handle();
        ASSERT_EQ(g.made.size(), 3u);
        EXPECT_EQ(g.CurrentKey(), 0);
        EXPECT_EQ(g.captionTitle, 0);
        // The panel's size plus one scaled pixel left and right.
        const SIZE s = WindowSize(h);
        EXPECT_EQ(s.cx, ScaleX(660) + 2 * ScaleX(1));
        EXPECT_EQ(s.cy, ScaleY(446));
        if (Resolution().dpiX == 96) {
            EXPECT_EQ(s.cx, 662);
            EXPECT_EQ(s.cy, 446);
        }
        wchar_t title[64]{};
        ::GetWindowTextW(h, title, 64);
        EXPECT_STREQ(title, L"KAVRO Free");
        // Every panel fills the client area; only the current one shows.
        RECT client{}, panel{};
        ::GetClientRect(h, &client);
        ::GetClientRect(g.made[2]->Handle(), &panel);
        EXPECT_EQ(panel.right, client.right);
        EXPECT_EQ(panel.bottom, client.bottom);
        EXPECT_TRUE(Shown(g.made[0]));
        EXPECT_FALSE(Shown(g.made[1]));
        EXPECT_EQ(g.made[0]->shown, 1);

        g.made[0]->GoNext();
        EXPECT_EQ(g.CurrentKey(), 1);
        EXPECT_EQ(g.captionTitle, 1);  // the status page shows the title in the caption
        EXPECT_FALSE(Shown(g.made[0]));
        EXPECT_TRUE(Shown(g.made[1]));
        EXPECT_EQ(g.made[1]->shown, 1);

        g.made[1]->GoNext();
        g.made[2]->GoNext();  // past the last: nothing
        EXPECT_EQ(g.CurrentKey(), 2);
        EXPECT_FALSE(g.ShowPanel(7));
        EXPECT_EQ(g.CurrentKey(), 2);
        EXPECT_TRUE(Shown(g.made[2]));
        g.EndWizard();
    };
    EXPECT_EQ(guide.DoModal(), IDOK);
    EXPECT_TRUE(ran);
}

TEST_F(Wizard, VisiblePanelDecidesWhetherACloseIsHonoured) {
    TestGuide guide;
    guide.script = [&](TestGuide& g) {
        g.made[0]->mayClose = false;
        ::SendMessageW(g.Handle(), WM_CLOSE, 0, 0);
        ::SendMessageW(g.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        // Enter and Escape reach the wizard as commands and end nothing.
        ::SendMessageW(g.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::SendMessageW(g.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_EQ(g.made[0]->closeAsked, 2);
        EXPECT_TRUE(::IsWindow(g.Handle()));
        g.made[0]->mayClose = true;
        ::PostMessageW(g.Handle(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(guide.DoModal(), IDCANCEL);
    EXPECT_EQ(guide.made[0]->closeAsked, 3);
}

TEST_F(Wizard, PanelBackgroundIsDarkWithTheLogoTopRight) {
    TestGuide guide;
    test::PixelBuffer shot;
    bool captured = false;
    guide.script = [&](TestGuide& g) {
        HWND panel = g.made[0]->Handle();
        ::ShowWindow(g.Handle(), SW_SHOW);
        // The logo: light grey pixels within its box at the top right, none
        // to the left of it.
        const int logoWidth = ScaleX(161);
        auto logoShows = [&](const test::PixelBuffer& p) {
            const RECT box{p.Width() - logoWidth, 0, p.Width(), ScaleY(26) + 2};
            return test::CountColor(p, {200, 200, 200}, 60, box) > 20;
        };
        captured = test::WaitForCapture(panel, logoShows, shot, 10000);
        g.EndWizard();
    };
    guide.DoModal();
    ASSERT_TRUE(captured) << "the logo never reached the screen";
    test::SaveScreenshot(shot, L"wizard-empty-panel");
    const test::Rgb background = test::RgbOf(Palette().WindowBackground);
    EXPECT_TRUE(test::PixelNear(shot, 5, 5, background, 0));
    EXPECT_TRUE(test::PixelNear(shot, shot.Width() / 2, shot.Height() / 2, background, 0));
    const RECT leftOfLogo{0, 0, shot.Width() - ScaleX(161) - 1, ScaleY(40)};
    EXPECT_EQ(test::CountColor(shot, {200, 200, 200}, 60, leftOfLogo), 0);
    // Its top-right corner meets the panel's.
    const auto logo = test::FindColorBounds(shot, {200, 200, 200}, 70);
    ASSERT_TRUE(logo);
    EXPECT_GE(logo->right, shot.Width() - ScaleX(16));
    EXPECT_LE(logo->top, ScaleY(8));
}

}  // namespace
}  // namespace ovek
