#pragma once
// What the progress and slideshow tests share: a parent window that records
// what its children send it, and pixels read back through WM_PRINTCLIENT.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Window.h"
#include "support/GdiCount.h"
#include "support/WindowTesting.h"
#include "ui/Palette.h"

namespace ovek::test {

class RecordingParent : public CWindow {
public:
    std::vector<UINT> received;  // private messages (WM_USER and up)
    std::vector<std::pair<WPARAM, LPARAM>> params;

    HWND Create(int width, int height, bool visible) {
        // One brush for the class, kept for the process.
        static const HBRUSH background = ::CreateSolidBrush(Palette().WindowBackground);
        RegisterClass(L"OvekControlTestParent", 0, nullptr, background);
        return CWindow::Create(L"OvekControlTestParent", nullptr, L"controls",
                               WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 40, 40, width, height);
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg >= WM_USER && msg < 0x8000) {
            received.push_back(msg);
            params.emplace_back(wp, lp);
            return 0;
        }
        return DefaultProc(msg, wp, lp);
    }
};

// The client area as the window draws it, composed through WM_PRINTCLIENT:
// exactly the control's own drawing, whatever covers it on the screen.
inline PixelBuffer PrintClient(HWND hwnd) {
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    CWindowDC screen(nullptr);
    CMemorySurface surface(screen.get(), rc.right, rc.bottom);
    if (!surface) return {};
    FillSolid(surface.dc(), surface.Bounds(), RGB(255, 0, 255));  // shows what nothing drew
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    ::GdiFlush();
    PixelBuffer pixels(rc.right, rc.bottom);
    std::copy(surface.pixels(), surface.pixels() + static_cast<size_t>(rc.right) * rc.bottom, pixels.Data());
    return pixels;
}

// The pixel as a theme colour, to compare with the palette.
inline Color At(const PixelBuffer& pixels, int x, int y) {
    const test::Rgb c = pixels.At(x, y);
    return ovek::Rgb(c.r, c.g, c.b);
}
inline bool Near(Color a, Color b, int tolerance = 8) {
    return ColorDistance(RgbOf(a), RgbOf(b)) <= tolerance;
}

}  // namespace ovek::test
