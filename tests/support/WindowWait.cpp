#include "support/WindowWait.h"

#include <algorithm>

namespace ovek::test {

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        // Wake for the next message, or re-check soon: conditions that
        // depend on other processes or on the display post nothing here.
        DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10));
        ::MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

namespace {

bool NeedsPaint(HWND window) {
    if (::GetUpdateRect(window, nullptr, FALSE)) return true;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child) && NeedsPaint(child)) return true;
    return false;
}

}  // namespace

bool WaitForPaint(HWND window, DWORD timeoutMs) {
    return WaitUntil([&] { return ::IsWindow(window) && ::IsWindowVisible(window) && !NeedsPaint(window); },
                     timeoutMs);
}

bool WaitForCapture(HWND window, const std::function<bool(const PixelBuffer&)>& accept, PixelBuffer& shot,
                    DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            shot = CaptureWindow(window);
            return shot.Width() > 0 && accept(shot);
        },
        timeoutMs);
}

}  // namespace ovek::test
