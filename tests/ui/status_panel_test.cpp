// The status page over a real installation: the local test server serves
// the real package, Windows Installer installs it, and the page is driven
// through its own timers inside the wizard's modal loop.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "engine/EngineScenario.h"
#include "i18n/UiStrings.h"
#include "support/WindowTesting.h"
#include "ui/StatusGuide.h"
#include "ui/StatusLayout.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

TEST(StatusText, PercentAlwaysHasOneDecimalAndTheBarCountsTenths) {
    struct Case {
        float percent;
        const wchar_t* text;
        int position;
    } cases[] = {
        {0.0f, L"0.0%", 0},        {42.5f, L"42.5%", 425},      {42.46f, L"42.5%", 424},
        {99.99f, L"100.0%", 999},  {100.0f, L"100.0%", 1000},   {7.0f, L"7.0%", 70},
        {-3.0f, L"0.0%", 0},       {250.0f, L"100.0%", 1000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatPercent(c.percent), c.text) << c.percent;
        EXPECT_EQ(ProgressPosition(c.percent), c.position) << c.percent;
    }
}

TEST(StatusLayout, SlideshowTextLinesAndBar) {
    // The default panel's client area: 660 x 446 less the frame's caption and edges.
    const StatusLayout l = LayOutStatusPanel({0, 0, 660, 416}, 96, 96);
    EXPECT_EQ(l.slideshow, (PanelBox{0, 36, 660, 320}));
    EXPECT_EQ(l.status, (PanelBox{30, 335, 530, 355}));
    EXPECT_EQ(l.time, (PanelBox{30, 355, 530, 375}));
    EXPECT_EQ(l.percent, (PanelBox{530, 355, 630, 375}));
    EXPECT_EQ(l.bar, (PanelBox{30, 385, 630, 393}));
    const StatusLayout big = LayOutStatusPanel({0, 0, 990, 624}, 144, 144);
    EXPECT_EQ(big.slideshow, (PanelBox{0, 54, 990, 480}));
    EXPECT_EQ(big.percent.Width(), 150);
    EXPECT_EQ(big.bar, (PanelBox{45, 577, 945, 589}));
}

struct Seen {
    int position;
    std::wstring percent, status, time;
};

class StatusPanelRun : public enginetest::EngineScenario {
protected:
    void SetUp() override {
        EngineScenario::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(test::RegisterInstallerWindowClass());
        CreateSharedFonts();
        TheApp().silent = 0;
        TheApp().launchAfterInstall = 0;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(::GetFileAttributesExW(test::PackagePath(test::kSampleProduct).c_str(), GetFileExInfoStandard,
                                           &data));
        packageBytes_ = data.nFileSizeLow;
    }
    void TearDown() override {
        TheApp().silent = 0;
        TheApp().launchAfterInstall = 0;
        ReleaseSharedFonts();
        EngineScenario::TearDown();
    }
    // The package served so slowly that its download takes about `seconds`.
    void ThrottlePackage(int seconds) {
        TheContext().manifest.mainComponent.fullUrl =
            RouteFile("kavro_free.msi", test::PackagePath(test::kSampleProduct), packageBytes_ / seconds + 1);
    }
    static Seen Look(test::StatusGuide& g) {
        CStatusPanel& p = g.Status();
        return {p.ProgressBar().Pos(), p.PercentLabel().Text(), p.StatusLabel().Text(), p.TimeLabel().Text()};
    }
    std::uint64_t packageBytes_ = 0;
};

TEST_F(StatusPanelRun, PollDrivesTheBarAndTheLinesThenMovesOnToSuccess) {
    ThrottlePackage(3);
    test::StatusGuide guide;
    std::vector<Seen> seen;
    bool sawInitial = false;
    guide.onTick = [&](test::StatusGuide& g) {
        const Seen s = Look(g);
        if (g.CurrentKey() == CInstallGuide::kSuccessPanel) {
            seen.push_back(s);  // the poll that saw the end moved the wizard on
            g.EndWizard();
            return;
        }
        if (s.percent.empty()) {
            sawInitial = sawInitial || (s.status == L"Initializing..." && s.position == 0);
            return;
        }
        seen.push_back(s);
    };
    guide.DoModal();
    ASSERT_FALSE(guide.timedOut);
    EXPECT_TRUE(sawInitial);
    EXPECT_EQ(guide.CurrentKey(), CInstallGuide::kSuccessPanel);
    EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
    EXPECT_TRUE(boxes_.empty());

    ASSERT_GE(seen.size(), 3u);
    const std::wregex format(L"(\\d{1,3})\\.(\\d)%");
    bool downloading = false, midway = false;
    int last = 0;
    for (const Seen& s : seen) {
        std::wsmatch m;
        ASSERT_TRUE(std::regex_match(s.percent, m, format)) << std::string(s.percent.begin(), s.percent.end());
        const int tenths = std::stoi(m[1].str()) * 10 + std::stoi(m[2].str());
        EXPECT_LE(std::abs(tenths - s.position), 1) << "bar and percentage disagree";
        EXPECT_GE(s.position, last) << "the bar went back";
        last = s.position;
        downloading = downloading || s.status == L"Downloading, please wait...";
        midway = midway || (s.position > 0 && s.position < 500);
        EXPECT_FALSE(s.time.empty());
    }
    EXPECT_TRUE(downloading);
    EXPECT_TRUE(midway) << "no poll saw the download under way";
    EXPECT_EQ(seen.back().percent, L"100.0%");
    EXPECT_EQ(seen.back().position, 1000);
    EXPECT_EQ(seen.back().status, L"Finished.");
}

TEST_F(StatusPanelRun, CloseDuringDownloadPausesNoResumesYesCancels) {
    ThrottlePackage(12);
    const std::wstring downloaded = TheContext().msiFolder + L"kavro_free.msi";
    const auto onDisk = [&]() -> std::uint64_t {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        return ::GetFileAttributesExW(downloaded.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
    };
    test::StatusGuide guide;
    enum { kWaiting, kAskedOnce, kResumed, kConfirmed } phase = kWaiting;
    float heldAt = -1.0f;
    bool heldStill = true;
    std::vector<std::wstring> questions;
    SetMessageBoxHandler([&](const MessageBoxRequest& r) {
        questions.push_back(r.text);
        EXPECT_EQ(r.caption, L"KAVRO Free");
        EXPECT_EQ(r.flags, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
        if (questions.size() > 1) return IDYES;
        // While the question is open nothing moves: a block already on its
        // way may land, then neither the status nor the file grows.
        ::Sleep(300);
        heldAt = guide.Status().Engine().TakeStatusSnapshot().overallPercent;
        const std::uint64_t bytes = onDisk();
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 1500) {
            if (guide.Status().Engine().TakeStatusSnapshot().overallPercent != heldAt || onDisk() != bytes)
                heldStill = false;
            ::Sleep(50);
        }
        return IDNO;
    });
    guide.onTick = [&](test::StatusGuide& g) {
        const StatusSnapshot s = g.Status().Engine().TakeStatusSnapshot();
        switch (phase) {
        case kWaiting:
            if (s.state == kStateDownloading && s.overallPercent > 5.0f) {
                g.Close();
                phase = kAskedOnce;
            }
            break;
        case kAskedOnce:
            if (!questions.empty() && s.overallPercent > heldAt) {
                phase = kResumed;  // No let the download go on from where it was
                EXPECT_EQ(s.state, kStateDownloading);
                g.Close();
            }
            break;
        case kResumed:
            if (questions.size() == 2) {
                phase = kConfirmed;
                EXPECT_EQ(g.Status().Engine().cancelConfirmed, 1);
                g.Close();  // ignored: the engine is already stopping
            }
            break;
        case kConfirmed: break;
        }
    };
    guide.DoModal();
    SetMessageBoxHandler(previousHandler_);
    ASSERT_FALSE(guide.timedOut);
    EXPECT_EQ(phase, kConfirmed);
    EXPECT_TRUE(heldStill) << "the download went on while the question was open";
    ASSERT_EQ(questions.size(), 2u) << "a close after Yes must not ask again";
    EXPECT_EQ(questions[0], L"Are you sure you want to cancel the installing process?");
    EXPECT_EQ(guide.CurrentKey(), CInstallGuide::kStatusPanel);
    EXPECT_EQ(guide.Status().Engine().TakeStatusSnapshot().state, kStateCancelled);
    EXPECT_FALSE(test::IsProductInstalled(test::kSampleProduct));
}

TEST_F(StatusPanelRun, FailureEndsTheWizardAfterTheEnginesMessage) {
    TheContext().manifest.versionCheckUrl = Route("version.xml", "gone", 404);
    test::StatusGuide guide;
    guide.DoModal();
    ASSERT_FALSE(guide.timedOut);
    EXPECT_EQ(guide.CurrentKey(), CInstallGuide::kStatusPanel);
    EXPECT_EQ(guide.Status().Engine().TakeStatusSnapshot().state, kStateFailed);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_NE(boxes_[0].text.find(L"Unable to contact the download server"), std::wstring::npos);
}

TEST_F(StatusPanelRun, LaunchAfterInstallStartsTheProductAndClosesWithoutTheSuccessPanel) {
    TheApp().launchAfterInstall = 1;
    test::StatusGuide guide;
    guide.DoModal();
    ASSERT_FALSE(guide.timedOut);
    EXPECT_EQ(guide.CurrentKey(), CInstallGuide::kStatusPanel);
    EXPECT_EQ(guide.Status().Engine().TakeStatusSnapshot().state, kStateFinished);
    EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
    // The installed editor holds its instance semaphore while it runs.
    const auto editorRunning = [] {
        UniqueHandle s(::OpenSemaphoreW(SYNCHRONIZE, FALSE, L"TesmoKavroFreeInstance_80"));
        return static_cast<bool>(s);
    };
    EXPECT_TRUE(test::WaitUntil(editorRunning, 10000)) << "the product was not started";
    UniqueHandle quit(::CreateEventW(nullptr, TRUE, FALSE, L"OvekTestKavroEditorQuit"));
    ::SetEvent(quit.get());
    EXPECT_TRUE(test::WaitUntil([&] { return !editorRunning(); }, 10000)) << "the editor did not end";
}

TEST_F(StatusPanelRun, SilentRunEndsByItselfWithoutShowingTheWindow) {
    TheApp().silent = 1;
    test::StatusGuide guide;
    bool everVisible = false;
    guide.onTick = [&](test::StatusGuide& g) { everVisible = everVisible || ::IsWindowVisible(g.Handle()); };
    guide.DoModal();
    ASSERT_FALSE(guide.timedOut);
    EXPECT_FALSE(everVisible);
    EXPECT_EQ(guide.CurrentKey(), CInstallGuide::kStatusPanel);
    EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
}

// Slides come from the language folder; without any the slideshow shows
// only its background. Long waits: the engine never starts here.
TEST_F(StatusPanelRun, SlidesFromTheLanguageFolderOrTheBackground) {
    for (const bool withSlides : {true, false}) {
        SCOPED_TRACE(withSlides ? "sample slides" : "no slides");
        TheContext().language = LanguageResources();
        TheContext().language.SetFolder(withSlides ? test::SourcePath(L"sample\\language\\") : root_ + L"\\language\\");
        test::StatusGuide guide;
        guide.startDelayMs = 600000;
        size_t slides = 99;
        test::PixelBuffer shot;
        bool painted = false;
        guide.onTick = [&](test::StatusGuide& g) {
            if (!::IsWindowVisible(g.Handle())) return;  // the modal loop shows it when idle
            HWND show = ::GetDlgItem(g.Status().Handle(), 170);
            slides = g.Status().Slideshow().SlideCount();
            painted = show && test::WaitForPaint(g.Handle(), 5000);
            if (painted) shot = test::CaptureWindow(show);
            g.EndWizard();
        };
        guide.DoModal();
        EXPECT_EQ(slides, withSlides ? 3u : 0u);
        ASSERT_TRUE(painted);
        ASSERT_GT(shot.Width(), 0);
        // Inside the focus rectangle the control draws while it has the focus.
        const RECT all{4, 4, shot.Width() - 4, shot.Height() - 4};
        if (withSlides)
            EXPECT_LT(test::CountColor(shot, test::RgbOf(Palette().WindowBackground), 4, all), shot.Width() * shot.Height() / 2);
        else
            EXPECT_TRUE(test::AreaFilled(shot, all, test::RgbOf(Palette().WindowBackground), 4))
                << test::SaveScreenshot(shot, L"status-no-slides").c_str();
    }
}

}  // namespace
}  // namespace ovek

namespace ovek {
namespace {

TEST(StatusPanelScreens, MidInstallationAt96And144Dpi) {
    for (const DWORD dpi : {96u, 144u}) {
        const test::ProcessResult r = test::RunAtDpi(
            dpi, L"\"" + test::BuildPath(L"status_dpi_helper.exe") + L"\" " + std::to_wstring(dpi), 60000);
        ASSERT_TRUE(r.exitCode) << dpi;
        EXPECT_EQ(*r.exitCode, 0u) << dpi << "\n" << r.output;
    }
}

}  // namespace
}  // namespace ovek
