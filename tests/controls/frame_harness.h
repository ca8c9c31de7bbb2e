#pragma once
// A skinned frame on the display for the frame tests and their resolution
// helper: a modeless dialog that records what reaches it, and the ways the
// platform would speak to its non-client area.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "controls/COvekDialog.h"
#include "framework/DialogTemplate.h"
#include "support/WindowTesting.h"
#include "ui/Palette.h"

namespace ovek::test {

class RecordingFrame : public COvekDialog {
public:
    using COvekDialog::COvekDialog;

    std::vector<WPARAM> systemCommands;  // low four bits cleared
    int closes = 0;
    std::atomic<bool> movingOrSizing{false};
    std::vector<RECT> layouts;
    std::vector<UINT> mouseMessages;  // what the pointer brought, for failure messages

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_SYSCOMMAND) systemCommands.push_back(wp & 0xFFF0);
        if (msg == WM_CLOSE) {
            ++closes;
            return 0;  // the test decides when the window goes
        }
        if (msg == WM_ENTERSIZEMOVE) movingOrSizing = true;
        if ((msg >= WM_NCMOUSEMOVE && msg <= WM_NCMBUTTONDBLCLK) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
            msg == WM_CAPTURECHANGED || msg == WM_NCMOUSELEAVE)
            mouseMessages.push_back(msg);
        return COvekDialog::WindowProc(msg, wp, lp);
    }
    void LayoutClient(const RECT& client) override { layouts.push_back(client); }
};

inline std::string Hex(const std::vector<UINT>& messages) {
    std::ostringstream s;
    for (UINT m : messages) s << std::hex << "0x" << m << ' ';
    return s.str();
}

// The wizard's styles: a caption and a system menu, no maximize box.
constexpr DWORD kWizardStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

// Creates the frame as a modeless top-level dialog at (x, y) of the given
// outer size and shows it; true once it has painted.
inline bool ShowFrame(RecordingFrame& frame, int x, int y, int width, int height, DWORD style = kWizardStyle,
                      const wchar_t* title = L"KAVRO Free") {
    CDialogTemplate t(style, 200, 100, title);
    if (!frame.Create(nullptr, t.get())) return false;
    ::SetWindowPos(frame.Handle(), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    return WaitForPaint(frame.Handle(), 10000);
}

// A non-client message at a point in window coordinates, with the hit-test
// code the platform gives that point.
inline LRESULT SendNc(HWND window, UINT msg, POINT windowPoint) {
    RECT r{};
    ::GetWindowRect(window, &r);
    const LPARAM screen = MAKELPARAM(r.left + windowPoint.x, r.top + windowPoint.y);
    const LRESULT code = ::SendMessageW(window, WM_NCHITTEST, 0, screen);
    if (msg == WM_NCMOUSELEAVE) return ::SendMessageW(window, msg, 0, 0);
    return ::SendMessageW(window, msg, static_cast<WPARAM>(code), screen);
}

inline Rgb PaletteRgb(Color c) { return {RedOf(c), GreenOf(c), BlueOf(c)}; }

// The brightest channel inside a rectangle: where a light grey picture is.
inline int Brightest(const PixelBuffer& shot, const RECT& area) {
    int best = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            if (!shot.Contains(x, y)) continue;
            const Rgb c = shot.At(x, y);
            best = std::max({best, int(c.r), int(c.g), int(c.b)});
        }
    return best;
}

// Waits until the screen shows `color` over `area` of the window (frame
// drawing reaches the display a moment after the call).
inline bool WaitForFrameColor(HWND window, const RECT& area, Rgb color, PixelBuffer& shot, int tolerance = 6) {
    return WaitForCapture(
        window, [&](const PixelBuffer& p) { return CountColor(p, color, tolerance, area) > 0; }, shot, 5000);
}

// Real input: the pointer moved to a screen point, then a button event.
// Through the input queue rather than SetCursorPos, so that the move is seen
// in order with the button events by whichever window holds the pointer.
inline void MouseTo(POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    // Absolute coordinates run from 0 to 65535 over the screen; the +1/2
    // rounds back onto the same pixel.
    in.mi.dx = static_cast<LONG>((screen.x * 65536LL + w / 2) / w);
    in.mi.dy = static_cast<LONG>((screen.y * 65536LL + h / 2) / h);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(in));
}
inline void MouseButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof(in));
}
inline POINT ScreenPointOf(HWND window, POINT windowPoint) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.left + windowPoint.x, r.top + windowPoint.y};
}

}  // namespace ovek::test
