// The floor for a window on the screen under Wine: a minimal Win32 program
// that opens one plain window of the wizard's size, filled with one colour by
// its class brush, and waits to be ended. bench_ui starts it and watches the
// screen for that colour.
#include <windows.h>

namespace {

// Must match kBareWindowColor in ui.cpp.
constexpr COLORREF kFill = RGB(201, 17, 143);

LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    HBRUSH brush = ::CreateSolidBrush(kFill);
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = brush;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"OvekBenchBareWindow";
    if (!::RegisterClassW(&wc)) return 1;
    HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"Bare window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 662, 446, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::DeleteObject(brush);
    return 0;
}
