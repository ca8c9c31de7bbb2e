// The progress bar and the slideshow in a process of their own, so that they
// can be looked at under a resolution the test chooses (read once per
// process). Checks the geometry that follows the resolution and exits 0 when
// all holds; each failed check prints a line and sets the exit code 1.
//   progress_dpi_helper [expected-dpi] [--show MS]
// --show keeps the window on the display for MS milliseconds (screenshots).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "ControlTestWindows.h"
#include "controls/COvekProgress.h"
#include "controls/COvekSliderShowCtrl.h"
#include "ui/Theme.h"

namespace {

using namespace ovek;

int g_failures = 0;
void Check(bool ok, const char* what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what);
        ++g_failures;
    }
}

uint64_t g_now = 1'000'000;
uint64_t FakeClock() { return g_now; }

UniqueBitmap Slide(int width, int height, Color a, Color b) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return bitmap;
    const int stride = (width * 3 + 3) & ~3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Diagonal bands, so that motion and cropping are easy to see.
            const Color c = ((x + y) / 40) % 2 ? a : b;
            uint8_t* p = static_cast<uint8_t*>(bits) + y * stride + x * 3;
            p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c);
        }
    return bitmap;
}

}  // namespace

int main(int argc, char** argv) {
    int expectedDpi = 0;
    int showMs = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--show" && i + 1 < argc) showMs = std::atoi(argv[++i]);
        else expectedDpi = std::atoi(argv[i]);
    }
    InitThemePalette();
    CreateSharedFonts();
    const int dpi = Resolution().dpiX;
    std::printf("dpi %d %d\n", dpi, Resolution().dpiY);
    if (expectedDpi) Check(dpi == expectedDpi && Resolution().dpiY == expectedDpi, "resolution");
    COvekSliderShowCtrl::SetClock(&FakeClock);

    // The status panel's geometry: a bar ScaleY(8) high across the width.
    const int barWidth = ScaleX(300), barHeight = ScaleY(8), gap = ScaleY(16);
    const int showWidth = ScaleX(330), showHeight = ScaleY(142);
    test::RecordingParent parent;
    if (!parent.Create(2 * showWidth + 3 * gap, showHeight + 4 * (barHeight + gap) + 2 * gap, true)) return 2;

    COvekProgress bars[3];
    const int positions[3] = {0, 420, 1000};
    for (int i = 0; i < 3; ++i) {
        const int top = 2 * gap + showHeight + i * (barHeight + gap);
        bars[i].Create(parent.Handle(), 105 + i, RECT{gap, top, gap + barWidth, top + barHeight},
                       WS_CHILD | WS_VISIBLE);
        bars[i].SetRange(1000);
        bars[i].SetBarRect(RECT{0, 0, barWidth, barHeight});
        bars[i].SetPos(positions[i]);
    }
    const float radius = 3.0f * static_cast<float>(dpi) / 96.0f;
    const test::PixelBuffer full = test::PrintClient(bars[2].Handle());
    const test::PixelBuffer part = test::PrintClient(bars[1].Handle());
    const test::PixelBuffer none = test::PrintClient(bars[0].Handle());
    const int mid = barHeight / 2;
    Check(full.Width() == barWidth && full.Height() == barHeight, "bar size follows ScaleX/ScaleY");
    Check(test::Near(test::At(full, barWidth / 2, mid), Palette().ProgressFill), "full bar filled");
    Check(test::Near(test::At(full, barWidth - 1 - static_cast<int>(radius), 0), Palette().ProgressFill, 24),
          "full bar straight up to its rounded end");
    Check(!test::Near(test::At(full, 0, 0), Palette().ProgressFill, 40), "corner rounded by the scaled radius");
    Check(!test::Near(test::At(full, barWidth - 1, barHeight - 1), Palette().ProgressFill, 40), "far corner rounded");
    const int edge = barWidth * 420 / 1000;
    Check(test::Near(test::At(part, edge - 2, 0), Palette().ProgressFill, 24), "fill reaches its share at the top row");
    Check(test::Near(test::At(part, edge + 2, mid), Palette().ProgressTrack), "track beyond the share");
    Check(test::Near(test::At(none, barWidth / 2, mid), Palette().ProgressTrack), "empty bar shows its track");

    // Two slideshows with slides half again as large as the control: one
    // standing still, one half-way through its transition.
    COvekSliderShowCtrl shows[2];
    for (int i = 0; i < 2; ++i) {
        shows[i].Create(parent.Handle(), 170 + i,
                        RECT{gap + i * (showWidth + gap), gap, gap + i * (showWidth + gap) + showWidth, gap + showHeight},
                        WS_CHILD | WS_VISIBLE);
        shows[i].SetBackground(Palette().WindowBackground);
        shows[i].AppendSlide(showWidth - 2 * gap, showHeight - 2 * gap,
                             Slide(showWidth - 2 * gap, showHeight - 2 * gap, Rgb(7, 165, 216), Rgb(240, 240, 240)));
        shows[i].AppendSlide(showWidth * 3 / 2, showHeight * 3 / 2,
                             Slide(showWidth * 3 / 2, showHeight * 3 / 2, Rgb(181, 39, 36), Rgb(60, 60, 60)));
    }
    test::PrintClient(shows[0].Handle());  // takes the time origin
    g_now = *COvekSliderShowCtrl::TimeOrigin() + 1000;
    const test::PixelBuffer still = test::PrintClient(shows[0].Handle());
    Check(test::At(still, gap / 2, showHeight / 2) == Palette().WindowBackground, "still slide centred with margins");
    g_now = *COvekSliderShowCtrl::TimeOrigin() + 8100 + 1000;
    const test::PixelBuffer cropped = test::PrintClient(shows[0].Handle());
    Check(test::At(cropped, 0, 0) != Palette().WindowBackground && test::At(cropped, showWidth - 1, showHeight - 1) !=
              Palette().WindowBackground, "large slide fills the control");
    // For the eye: at one moment the first stands still and the second,
    // on shorter times, is half-way through its transition.
    shows[1].SetDisplayTime(0.7);
    g_now = *COvekSliderShowCtrl::TimeOrigin() + 1000;
    const test::PixelBuffer moving = test::PrintClient(shows[1].Handle());
    // Above the small slide leaving at the left is background; the large one
    // entering at the right reaches the top.
    Check(test::At(moving, 2, gap / 2) == Palette().WindowBackground && test::At(moving, 2, showHeight / 2) !=
              Palette().WindowBackground, "small slide leaving at the left");
    Check(test::At(moving, showWidth - 2, gap / 2) != Palette().WindowBackground, "large slide entering at the right");
    if (showMs > 0) {
        const DWORD end = ::GetTickCount() + static_cast<DWORD>(showMs);
        while (static_cast<int>(end - ::GetTickCount()) > 0) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            test::PumpMessages();
        }
    }
    std::printf("%s\n", g_failures ? "failed" : "ok");
    return g_failures ? 1 : 0;
}
