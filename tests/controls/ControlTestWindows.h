#pragma once
// What the progress and slideshow tests share: a parent window that records
// what its children send it, pixels read back through WM_PRINTCLIENT, and
// waits with a limit.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Window.h"
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

// The client area as the window draws it, composed through WM_PRINTCLIENT.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB
    Color At(int x, int y) const {
        const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        return Rgb(static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p));
    }
};

inline Capture PrintClient(HWND hwnd) {
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    Capture c;
    CWindowDC screen(nullptr);
    CMemorySurface surface(screen.get(), rc.right, rc.bottom);
    if (!surface) return c;
    FillSolid(surface.dc(), surface.Bounds(), RGB(255, 0, 255));  // shows what nothing drew
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    ::GdiFlush();
    c.width = rc.right;
    c.height = rc.bottom;
    c.pixels.assign(surface.pixels(), surface.pixels() + static_cast<size_t>(rc.right) * rc.bottom);
    return c;
}

inline bool Near(Color a, Color b, int tolerance = 8) {
    auto d = [](int x, int y) { return x > y ? x - y : y - x; };
    return d(RedOf(a), RedOf(b)) <= tolerance && d(GreenOf(a), GreenOf(b)) <= tolerance &&
           d(BlueOf(a), BlueOf(b)) <= tolerance;
}

inline void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Pumps messages until done() or the limit; true when done() came true.
template <typename Pred>
bool PumpUntil(Pred done, int limitMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

// Live GDI objects of this process.
inline DWORD GdiObjects() { return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS); }

}  // namespace ovek::test
