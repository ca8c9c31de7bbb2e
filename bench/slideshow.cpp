// What the status panel's slideshow costs: a real slideshow window with the
// sample's slides runs for 10 s on its own frame timer, and the process's
// CPU time (GetProcessTimes) is set against the wall time.
//
// Prints the frames drawn and, last, "slideshow-cpu-percent P": per cent of
// one core.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "controls/COvekSliderShowCtrl.h"
#include "controls/ImageCache.h"
#include "support/TestSupport.h"
#include "ui/Theme.h"

namespace {

using namespace ovek;

class CountingSlideshow : public COvekSliderShowCtrl {
public:
    int frames = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_PAINT) ++frames;
        return COvekSliderShowCtrl::WindowProc(msg, wp, lp);
    }
};

class Host : public CWindow {};

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto seconds = [](const FILETIME& f) {
        return static_cast<double>((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

double WallSeconds() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    const double runSeconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    InitThemePalette();
    CreateSharedFonts();

    // The status panel's slideshow: 660 x 284 at 96 dpi, the 100 % slides.
    const int width = ScaleY(660), height = ScaleY(284);
    CWindow::RegisterClass(L"OvekBenchHost", 0);
    Host host;
    if (!host.Create(L"OvekBenchHost", nullptr, L"slideshow", WS_POPUP | WS_VISIBLE, 0, 0, 0, width, height)) {
        std::fprintf(stderr, "no host window\n");
        return 1;
    }
    CountingSlideshow show;
    show.Create(host.Handle(), 170, RECT{0, 0, width, height}, WS_CHILD | WS_VISIBLE);
    show.SetBackground(Palette().WindowBackground);
    for (const wchar_t* name : {L"slide1.jpg", L"slide2.jpg", L"slide3.jpg"}) {
        auto slide = LoadPictureFile(test::SourcePath(std::wstring(L"sample\\language\\1033\\slides\\100\\") + name));
        if (slide && slide->bitmap) show.AppendSlide(slide->width, slide->height, std::move(slide->bitmap));
    }
    std::printf("slides %zu\n", show.SlideCount());
    if (show.SlideCount() == 0) return 1;

    // Let the first paint and any one-time set-up pass before measuring.
    MSG msg;
    const double warmEnd = WallSeconds() + 0.5;
    while (WallSeconds() < warmEnd) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }

    const int framesBefore = show.frames;
    const double cpuStart = ProcessCpuSeconds();
    const double wallStart = WallSeconds();
    const double wallEnd = wallStart + runSeconds;
    for (double now = wallStart; now < wallEnd; now = WallSeconds()) {
        const DWORD waitMs = static_cast<DWORD>((wallEnd - now) * 1000) + 1;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    const double wall = WallSeconds() - wallStart;
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const int frames = show.frames - framesBefore;
    std::printf("frames %d\n", frames);
    std::printf("frames-per-second %.1f\n", frames / wall);
    std::printf("wall-seconds %.2f\n", wall);
    std::printf("cpu-seconds %.3f\n", cpu);
    std::printf("slideshow-cpu-percent %.2f\n", 100.0 * cpu / wall);
    return 0;
}
