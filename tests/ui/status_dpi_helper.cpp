// The status page mid-installation at the screen's resolution: the real
// wizard on the real panel with the sample's slides, the engine's record
// set to a download under way. Checks the geometry and the bar, saves a
// screenshot and prints "ok". Argument: the expected dpi.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "manifest/InstallerContext.h"
#include "support/TestSupport.h"
#include "support/WindowTesting.h"
#include "ui/StatusGuide.h"
#include "ui/Theme.h"

using namespace ovek;

namespace {

int g_failures = 0;
void Check(bool ok, const char* what) {
    if (!ok) {
        ++g_failures;
        std::printf("failed: %s\n", what);
    }
}

bool Near(test::Rgb a, Color b, int tolerance = 12) { return test::ColorDistance(a, test::RgbOf(b)) <= tolerance; }

}  // namespace

int main(int argc, char** argv) {
    const int expectedDpi = argc > 1 ? std::atoi(argv[1]) : 0;
    InitThemePalette();
    CreateSharedFonts();
    const int dpi = Resolution().dpiX;
    std::printf("dpi %d %d\n", dpi, Resolution().dpiY);
    if (expectedDpi) Check(dpi == expectedDpi, "resolution");
    if (!test::RegisterInstallerWindowClass()) return 2;
    InstallerContext& context = TheContext();
    context.manifest.fullName = L"KAVRO Free";
    context.manifest.shortName = L"KAVRO";
    context.language.SetFolder(test::SourcePath(L"sample\\language\\"));

    test::StatusGuide guide;
    guide.startDelayMs = 600000;  // the record is set by hand below
    guide.limitMs = 30000;
    bool done = false;
    guide.onTick = [&](test::StatusGuide& g) {
        if (done) return;
        done = true;
        CStatusPanel& panel = g.Status();
        InstallStatus& status = panel.Engine().Status();
        status.SetWeights({100}, {100});
        status.SetStatus(kStateDownloading, 0, 85);  // 42.5 % of the whole
        ::SendMessageW(panel.Handle(), WM_TIMER, CStatusPanel::kPollTimer, 0);

        RECT window{}, show{}, bar{};
        ::GetWindowRect(g.Handle(), &window);
        Check(window.right - window.left == ScaleX(660) + 2 * ScaleX(1), "window width");
        Check(window.bottom - window.top == ScaleY(446), "window height");
        HWND slideshow = ::GetDlgItem(panel.Handle(), 170);
        HWND progress = ::GetDlgItem(panel.Handle(), 105);
        ::GetWindowRect(slideshow, &show);
        ::GetWindowRect(progress, &bar);
        RECT client{};
        ::GetClientRect(panel.Handle(), &client);
        Check(show.right - show.left == client.right && show.bottom - show.top == ScaleY(284), "slideshow size");
        Check(bar.bottom - bar.top == ScaleY(8), "bar height");
        Check(panel.PercentLabel().Text() == L"42.5%", "percentage");
        Check(panel.ProgressBar().Pos() == 425, "bar position");
        Check(panel.Slideshow().SlideCount() == 3, "the sample's three slides");

        test::PixelBuffer shot;
        const bool painted = test::WaitForPaint(g.Handle(), 10000) &&
                             test::WaitForCapture(
                                 g.Handle(),
                                 [&](const test::PixelBuffer& p) {
                                     const int x = bar.left - window.left + (bar.right - bar.left) / 5;
                                     const int y = bar.top - window.top + (bar.bottom - bar.top) / 2;
                                     return Near(p.At(x, y), Palette().ProgressFill, 24);
                                 },
                                 shot, 10000);
        Check(painted, "the bar's fill reached the screen");
        const std::wstring path = test::SaveScreenshot(shot, L"status-panel-" + std::to_wstring(dpi) + L"dpi");
        std::printf("screenshot %ls\n", path.c_str());
        const int farX = bar.right - window.left - (bar.right - bar.left) / 10;
        const int midY = bar.top - window.top + (bar.bottom - bar.top) / 2;
        Check(Near(shot.At(farX, midY), Palette().ProgressTrack, 24), "track beyond the share");
        g.EndWizard();
    };
    guide.DoModal();
    Check(!guide.timedOut, "time limit");
    ReleaseSharedFonts();
    std::printf("%s\n", g_failures ? "failed" : "ok");
    return g_failures ? 1 : 0;
}
