#pragma once
// The press-and-release rule both skinned buttons share: a click is a
// release inside the button after a press on it, or Space released on the
// focused button. Losing the capture or the focus mid-press ends the press
// without a click, so nothing stays drawn pressed.
#include <windows.h>
#include <windowsx.h>

namespace ovek {

struct ButtonPress {
    int pressed = 0;
    int captured = 0;
    int spaceHeld = 0;

    // Handles msg when it is one of the press messages: repaints the button
    // (invalidates), calls click() on a completed click, stores the answer
    // in result and returns true. `enabled` false swallows everything.
    template <typename Click>
    bool Handle(HWND button, UINT msg, WPARAM wp, LPARAM lp, bool enabled, Click&& click, LRESULT& result) {
        result = 0;
        switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // a double-click is a press
            if (enabled && !captured) {
                captured = 1;
                ::SetCapture(button);
                pressed = 1;
            }
            break;
        case WM_LBUTTONUP:
            if (!enabled) return true;
            if (captured) {
                captured = 0;
                ::ReleaseCapture();
                if (pressed) {
                    pressed = 0;
                    RECT client{};
                    ::GetClientRect(button, &client);
                    const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                    if (::PtInRect(&client, at)) click();
                }
            }
            break;
        case WM_CAPTURECHANGED:
            // Capture taken away mid-press (another window, a menu).
            if (!captured || reinterpret_cast<HWND>(lp) == button) return true;
            captured = 0;
            pressed = 0;
            break;
        case WM_KEYDOWN:
            if (wp != VK_SPACE) return false;
            if (!enabled || (lp & (1 << 30)) || captured) return true;  // auto-repeat, or mid mouse press
            spaceHeld = 1;
            pressed = 1;
            break;
        case WM_KEYUP:
            if (wp != VK_SPACE) return false;
            if (!spaceHeld) return true;
            spaceHeld = 0;
            pressed = 0;
            ::InvalidateRect(button, nullptr, FALSE);
            if (enabled) click();
            return true;
        case WM_CHAR:
            return wp == L' ';
        case WM_KILLFOCUS:
            if (spaceHeld) spaceHeld = pressed = 0;
            break;
        default:
            return false;
        }
        ::InvalidateRect(button, nullptr, FALSE);
        return true;
    }

    void Clear() { pressed = captured = spaceHeld = 0; }
};

}  // namespace ovek
