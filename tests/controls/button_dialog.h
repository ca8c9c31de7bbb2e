#pragma once
// A small top-level test dialog for the skinned controls: it records what
// its controls post to it, answers the edit's colour question, and is pumped
// through the dialog manager so that Tab, Enter and Space behave as in the
// wizard.
#include <windows.h>

#include <functional>
#include <vector>

#include "controls/COvekEdit.h"
#include "framework/DialogTemplate.h"
#include "framework/Gdi.h"
#include "framework/Window.h"
#include "support/WindowTesting.h"
#include "ui/Palette.h"
#include "ui/Theme.h"

namespace ovek::test {

struct Command {
    int id;
    int code;
    HWND from;
};

class ControlDialog : public CDialog {
public:
    std::vector<Command> commands;
    std::vector<HWND> editEnters;
    std::function<void(HWND)> init;

    // Shows the dialog at (left, top) on the screen, width x height pixels.
    HWND Open(const CDialogTemplate& t, int left = 60, int top = 60, int width = 420, int height = 220) {
        HWND h = Create(nullptr, t.get());
        if (!h) return nullptr;
        ::SetWindowPos(h, HWND_TOP, left, top, width, height, SWP_SHOWWINDOW);
        ::SetForegroundWindow(h);
        return h;
    }
    // Places a control in client pixels.
    void Place(int id, int x, int y, int w, int h) { ::MoveWindow(::GetDlgItem(Handle(), id), x, y, w, h, TRUE); }
    HWND Item(int id) const { return ::GetDlgItem(Handle(), id); }

    // Runs this thread's messages through the dialog manager.
    void Pump() {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (Handle() && ::IsDialogMessageW(Handle(), &m)) continue;
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
    }
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
        const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
        for (;;) {
            Pump();
            if (done()) return true;
            if (::GetTickCount64() >= deadline) return false;
            ::MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
    // Lets posted messages arrive: everything queued now is handled.
    void Settle() {
        const UINT marker = WM_APP + 77;
        bool seen = false;
        settleFlag_ = &seen;
        ::PostMessageW(Handle(), marker, 0, 0);
        PumpUntil([&] { return seen; }, 2000);
        settleFlag_ = nullptr;
    }
    int Clicks(int id) const {
        int n = 0;
        for (const Command& c : commands) n += (c.id == id && c.code == BN_CLICKED) ? 1 : 0;
        return n;
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        LRESULT color = 0;
        if (COvekEdit::ReflectColor(msg, wp, lp, color)) return color;
        switch (msg) {
        case WM_APP + 77:
            if (settleFlag_) *settleFlag_ = true;
            return 0;
        case WM_COMMAND:
            commands.push_back({LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)});
            break;
        case kEditEnterMessage:
            editEnters.push_back(reinterpret_cast<HWND>(wp));
            return 0;
        case WM_ERASEBKGND: {
            RECT r{};
            ::GetClientRect(Handle(), &r);
            FillSolid(reinterpret_cast<HDC>(wp), r, Palette().WindowBackground);
            return 1;
        }
        default:
            break;
        }
        return CDialog::WindowProc(msg, wp, lp);
    }
    bool OnInitDialog() override {
        if (init) init(Handle());
        return true;
    }

private:
    bool* settleFlag_ = nullptr;
};

inline CDialogTemplate PopupTemplate() { return CDialogTemplate(WS_POPUP, 280, 140); }

// A premultiplied 32-bit picture, filled by `pixel(x, y)` (0xAARRGGBB, colour
// already premultiplied).
inline UniqueBitmap MakePicture(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) static_cast<uint32_t*>(bits)[y * width + x] = pixel(x, y);
    return bitmap;
}

// Moves the real pointer and presses or releases through the input queue,
// so that hit testing, capture and leave tracking are the platform's.
inline void MouseTo(POINT screen) {
    ::SetCursorPos(screen.x, screen.y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = screen.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = screen.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(in));
}
inline void MouseButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof(in));
}
inline POINT ScreenPointOf(HWND window, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(window, &p);
    return p;
}

// Sets or clears a key in this thread's keyboard state, as seen by
// GetKeyState in the controls.
inline void HoldKey(int key, bool down) {
    BYTE state[256]{};
    ::GetKeyboardState(state);
    state[key] = down ? 0x80 : 0;
    ::SetKeyboardState(state);
}

}  // namespace ovek::test
