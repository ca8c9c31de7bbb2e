// How long until a person sees something: the time from starting a program
// until its window's first paint has reached the screen, watched from
// outside (the screen is polled, nothing is reported by the program).
//
//   bench_ui.exe BARE_WINDOW.exe INSTALLER.exe [RUNS]
//
// bare-window-ms: bench_bare_window.exe until its fill colour is on the
// screen (Wine's own floor for any window). first-frame-ms: the installer
// with "/n" until the settings panel has painted its background with the
// logo; install-button-ms, for the record, until the Install button is on
// the screen as well. Each figure is the median of RUNS runs (default 7) after one
// unrecorded warm-up run each. The last line is "first-frame-ratio R".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "support/WindowCapture.h"

namespace {

using namespace ovek;
using ovek::test::PixelBuffer;
using ovek::test::Rgb;

constexpr Rgb kBareWindowColor{201, 17, 143};  // bare_window.cpp's fill
constexpr Rgb kWindowBackground{24, 25, 30};   // the theme's window background
constexpr Rgb kButtonFace{7, 165, 216};        // the Install button, idle
constexpr Rgb kButtonHover{23, 190, 244};      // and under the pointer
constexpr int kSettingsInstallId = 133;        // only the settings panel has it
constexpr DWORD kRunLimitMs = 30000;

double NowMs() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

RECT ClientOnScreen(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    ::OffsetRect(&r, origin.x, origin.y);
    return r;
}

bool Near(Rgb a, Rgb b, int tolerance) { return test::ColorDistance(a, b) <= tolerance; }

// The bare window is on the screen when the middle of its client area shows
// its fill colour.
bool BareWindowShown(DWORD processId) {
    HWND window = ::FindWindowW(L"OvekBenchBareWindow", nullptr);
    if (!window || !::IsWindowVisible(window)) return false;
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != processId) return false;
    RECT r = ClientOnScreen(window);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    PixelBuffer shot = test::CaptureScreenRect({x - 2, y - 2, x + 2, y + 2});
    return shot.Width() > 0 && Near(shot.At(2, 2), kBareWindowColor, 2);
}

HWND SettingsPanelOf(HWND wizard) {
    HWND found = nullptr;
    auto visit = [](HWND child, LPARAM lp) -> BOOL {
        if (::GetParent(child) == nullptr || !::GetDlgItem(child, kSettingsInstallId)) return TRUE;
        *reinterpret_cast<HWND*>(lp) = child;
        return FALSE;
    };
    ::EnumChildWindows(wizard, visit, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The settings panel has painted when its background and the logo in its
// top-right corner are on the screen: both come from the panel's one
// off-screen copy, so neither shows before that paint.
DWORD OwnerOf(HWND window) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    return owner;
}

bool SettingsPanelShown(DWORD processId) {
    HWND wizard = nullptr;
    while ((wizard = ::FindWindowExW(nullptr, wizard, L"OvekMasterInstallerClassName", nullptr)))
        if (OwnerOf(wizard) == processId && ::IsWindowVisible(wizard)) break;
    if (!wizard) return false;
    HWND panel = SettingsPanelOf(wizard);
    if (!panel || !::IsWindowVisible(panel)) return false;
    RECT r = ClientOnScreen(panel);
    if (r.right - r.left < 200 || r.bottom - r.top < 60) return false;
    RECT corner{r.right - 200, r.top, r.right, r.top + 60};
    PixelBuffer shot = test::CaptureScreenRect(corner);
    if (shot.Width() == 0) return false;
    int background = 0, light = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            Rgb c = shot.At(x, y);
            if (Near(c, kWindowBackground, 2)) ++background;
            else if (c.r > 150 && c.g > 150 && c.b > 150) ++light;
        }
    return light > 20 && background > shot.Width() * shot.Height() / 2;
}

// The whole first frame: the Install button, a child control that paints
// after the panel, shows its face too.
bool InstallButtonShown(DWORD processId) {
    if (!SettingsPanelShown(processId)) return false;
    HWND wizard = nullptr;
    while ((wizard = ::FindWindowExW(nullptr, wizard, L"OvekMasterInstallerClassName", nullptr)))
        if (OwnerOf(wizard) == processId) break;
    HWND panel = wizard ? SettingsPanelOf(wizard) : nullptr;
    HWND button = panel ? ::GetDlgItem(panel, kSettingsInstallId) : nullptr;
    if (!button) return false;
    RECT r = ClientOnScreen(button);
    const int x = (r.left + r.right) / 2, y = r.top + (r.bottom - r.top) / 4;  // above the text
    PixelBuffer shot = test::CaptureScreenRect({x - 2, y - 2, x + 2, y + 2});
    return shot.Width() > 0 && (Near(shot.At(2, 2), kButtonFace, 3) || Near(shot.At(2, 2), kButtonHover, 3));
}

// Starts the program and polls `shown` until it holds; the milliseconds
// from just before the start, or nullopt when the limit passed first.
std::optional<double> TimeToScreen(const std::wstring& commandLine, const std::function<bool(DWORD)>& shown) {
    std::wstring buffer = commandLine;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const double start = NowMs();
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return std::nullopt;
    UniqueHandle process(pi.hProcess);
    UniqueHandle thread(pi.hThread);
    std::optional<double> elapsed;
    while (NowMs() - start < kRunLimitMs) {
        if (shown(pi.dwProcessId)) {
            elapsed = NowMs() - start;
            break;
        }
        if (::WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0) {
            std::printf("the program ended without showing its window\n");
            break;
        }
    }
    // Neither program has anything to save: end it and wait until it is gone,
    // so that the next run starts alone (the installer runs one copy only).
    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 10000);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::wstring Widen(const char* text) {
    std::wstring out;
    for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return out;
}

// RUNS timed runs after one warm-up; prints each and returns the median.
std::optional<double> Measure(const char* label, const std::wstring& commandLine,
                              const std::function<bool(DWORD)>& shown, int runs) {
    if (!TimeToScreen(commandLine, shown)) {
        std::printf("%s: no window on the screen within %lu ms\n", label, kRunLimitMs);
        return std::nullopt;
    }
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto ms = TimeToScreen(commandLine, shown);
        if (!ms) {
            std::printf("%s: run %d showed no window within %lu ms\n", label, i + 1, kRunLimitMs);
            return std::nullopt;
        }
        std::printf("%s run %d: %.0f ms\n", label, i + 1, *ms);
        std::fflush(stdout);
        times.push_back(*ms);
    }
    return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: bench_ui BARE_WINDOW.exe INSTALLER.exe [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
    const std::wstring bare = L"\"" + Widen(argv[1]) + L"\"";
    const std::wstring installer = L"\"" + Widen(argv[2]) + L"\" /n";

    // Interleaving the two would let one program's exit overlap the other's
    // start; each set runs on its own instead.
    auto b = Measure("bare-window", bare, BareWindowShown, runs);
    if (!b) return 1;
    std::printf("bare-window-ms %.0f\n", *b);
    std::fflush(stdout);
    auto m = Measure("first-frame", installer, SettingsPanelShown, runs);
    if (!m) return 1;
    std::printf("first-frame-ms %.0f\n", *m);
    std::fflush(stdout);
    // For the record: when the button under the panel's background is there too.
    if (auto full = Measure("install-button", installer, InstallButtonShown, runs))
        std::printf("install-button-ms %.0f\n", *full);
    std::printf("first-frame-ratio %.2f\n", *m / *b);
    return 0;
}
