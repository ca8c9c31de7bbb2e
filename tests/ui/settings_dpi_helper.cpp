// The settings page in a process of its own, at the resolution the test
// chooses (read once per process): checks the window's sizes expanded and
// collapsed, saves screenshots in English and German, and exits 0 when all
// holds; each failed check prints a line and sets the exit code 1.
//   settings_dpi_helper expected-dpi width height collapsed-height
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "SettingsFixture.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "ui/Theme.h"

namespace {

using namespace ovek;

int g_failures = 0;
void Check(bool ok, const char* what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what);
        ++g_failures;
    }
}

void Shoot(HWND window, const std::wstring& name) {
    test::WaitForPaint(window, 10000);
    test::PumpMessages();
    std::wprintf(L"screenshot %ls\n", test::SaveScreenshot(test::CaptureWindow(window), name).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) return 2;
    const int dpi = std::atoi(argv[1]);
    const SIZE expected{std::atoi(argv[2]), std::atoi(argv[3])};
    const int collapsedHeight = std::atoi(argv[4]);
    InitThemePalette();
    CreateSharedFonts();
    if (!test::RegisterInstallerWindowClass()) return 2;
    std::printf("dpi %d %d\n", Resolution().dpiX, Resolution().dpiY);
    Check(Resolution().dpiX == dpi && Resolution().dpiY == dpi, "resolution");
    test::UseSampleContext(test::MakeTempFolder(L"settings-dpi"));
    SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
    const std::wstring suffix = std::to_wstring(dpi);

    test::SettingsGuide guide;
    guide.script = [&](test::SettingsGuide& g, test::TestSettingPanel& p) {
        HWND h = g.Handle();
        const SIZE size = test::WindowSize(h);
        std::printf("window %ld x %ld\n", size.cx, size.cy);
        Check(size.cx == expected.cx && size.cy == expected.cy, "expanded size");
        Shoot(h, L"settings-english-" + suffix);

        test::Click(::GetDlgItem(p.Handle(), IDC_SETTINGS_EXPANDER));
        const SIZE collapsed = test::WindowSize(h);
        std::printf("collapsed %ld x %ld\n", collapsed.cx, collapsed.cy);
        Check(collapsed.cx == expected.cx && collapsed.cy == collapsedHeight, "collapsed size");
        Shoot(h, L"settings-collapsed-" + suffix);
        test::Click(::GetDlgItem(p.Handle(), IDC_SETTINGS_EXPANDER));
        Check(test::WindowSize(h).cy == expected.cy, "expanded again");

        HWND combo = ::GetDlgItem(p.Handle(), IDC_LANGUAGE_COMBO);
        ::SendMessageW(combo, CB_SETCURSEL, 1, 0);
        ::SendMessageW(p.Handle(), WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_COMBO, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(combo));
        Check(TheContext().language.LanguageId() == 1031, "German chosen");
        Shoot(h, L"settings-german-" + suffix);
    };
    guide.Run();
    ReleaseSharedFonts();
    return g_failures ? 1 : 0;
}
