// Reports, at whatever resolution it was started with, the screen dpi, the
// dialog font's base units and the client size of every installer template:
//   dpi 144
//   base 9 20
//   template 139 784 655
// "--show MS" also shows the wizard with its settings panel for that long
// (to look at it with scripts/screenshot.sh); "--stall" never ends (for the
// time limits of the runner).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DialogProbe.h"

using namespace ovek::test;

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--stall") == 0) {
        ::Sleep(INFINITE);
        return 0;
    }
    InstallerWindows windows;
    if (!CreateInstallerWindows(windows)) {
        std::printf("error could not create the templates\n");
        return 1;
    }
    BaseUnits base = MeasureBaseUnits(L"MS Shell Dlg", 8);
    std::printf("dpi %d\nbase %d %d\n", ScreenDpi(), base.cx, base.cy);
    for (const auto& t : InstallerTemplates()) {
        SIZE size = ClientSize(windows.Find(t.id));
        std::printf("template %u %ld %ld\n", t.id, size.cx, size.cy);
    }
    if (argc > 2 && std::strcmp(argv[1], "--show") == 0) {
        HWND settings = windows.Find(IDD_SETTINGS_PANEL);
        ::SetWindowPos(windows.main.get(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::ShowWindow(settings, SW_SHOW);
        ::ShowWindow(windows.main.get(), SW_SHOW);
        RECT r{};
        ::GetWindowRect(windows.main.get(), &r);
        std::printf("window %ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
        std::fflush(stdout);
        DWORD until = ::GetTickCount() + static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
        WaitUntil([&] { return static_cast<LONG>(::GetTickCount() - until) >= 0; }, 600000);
    }
    return 0;
}
