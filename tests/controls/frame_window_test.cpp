// The skinned frame as a real window on the display, driven by the messages
// and the input the platform would produce, at 96 dpi. The 144-dpi checks run
// in frame_dpi_helper (below, RunsAtStepped144).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>

#include "frame_harness.h"
#include "framework/Gdi.h"
#include "support/GdiCount.h"
#include "support/TestSupport.h"
#include "ui/Scaling.h"

namespace ovek::test {
namespace {

constexpr int kWidth = 662;  // the wizard at 96 dpi
constexpr int kHeight = 446;
const RECT kCloseCell{631, 1, 661, 31};
// What shows of a cell: its lower part reaches into the client and is cut there.
const RECT kCloseShown{631, 1, 661, 29};
const RECT kMinimizeShown{601, 1, 631, 29};
constexpr POINT kOnClose{646, 15};
constexpr POINT kOnMinimize{616, 15};
constexpr POINT kOnStrip{300, 14};

class FrameWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Resolution().dpiX, 96) << "this program runs at 96 dpi";
        pictures_ = LoadInstallerResources();
        ASSERT_TRUE(pictures_) << "build/OvekWebInstaller.exe holds the pictures";
    }
    std::unique_ptr<RecordingFrame> Show(DWORD style = kWizardStyle, int x = 80, int y = 60) {
        auto frame = std::make_unique<RecordingFrame>(pictures_.get());
        EXPECT_TRUE(ShowFrame(*frame, x, y, kWidth, kHeight, style));
        return frame;
    }
    PixelBuffer Settled(HWND window, const RECT& area, Color color) {
        PixelBuffer shot;
        EXPECT_TRUE(WaitForFrameColor(window, area, PaletteRgb(color), shot)) << "colour never reached the screen";
        return shot;
    }

    UniqueModule pictures_;
};

TEST_F(FrameWindow, DrawsCaptionButtonsAndBackground) {
    auto frame = Show();
    HWND w = frame->Handle();
    // Close and Minimize only: the wizard has no maximize box.
    EXPECT_EQ(frame->Button(kCaptionClose).cell, (FrameBox{631, 1, 661, 31}));
    EXPECT_EQ(frame->Button(kCaptionMinimize).cell, (FrameBox{601, 1, 631, 31}));
    EXPECT_TRUE(frame->Button(kCaptionMaximize).cell.Empty());
    RECT client{};
    ::GetClientRect(w, &client);
    EXPECT_EQ(client.right, kWidth - 2);
    EXPECT_EQ(client.bottom, kHeight - 30);

    PixelBuffer shot;
    ASSERT_TRUE(WaitForCapture(w, [&](const PixelBuffer& p) { return Brightest(p, kCloseShown) > 150; }, shot, 5000))
        << "the Close picture never showed";
    SaveScreenshot(shot, L"frame_96_normal");
    const Rgb caption = PaletteRgb(Palette().CaptionBackground);
    EXPECT_TRUE(AreaFilled(shot, RECT{0, 0, 600, 29}, caption, 3)) << "caption strip left of the buttons";
    EXPECT_GT(Brightest(shot, kMinimizeShown), 150) << "Minimize picture";
    // The pictures sit in the middle of their cells: 16 pixels, 7 in.
    auto cross = FindColorBounds(shot, Rgb{200, 200, 200}, 60, kCloseShown);
    ASSERT_TRUE(cross);
    EXPECT_GE(cross->left, 638);
    EXPECT_LE(cross->right, 654);
    EXPECT_TRUE(AreaFilled(shot, RECT{1, 29, kWidth - 1, kHeight - 1}, PaletteRgb(Palette().WindowBackground), 3))
        << "client background";
}

TEST_F(FrameWindow, HoverFillsTheCellAndMovingWithinItDrawsNothing) {
    auto frame = Show();
    HWND w = frame->Handle();
    SendNc(w, WM_NCMOUSEMOVE, kOnClose);
    PixelBuffer shot = Settled(w, kCloseShown, Palette().CloseHover);
    SaveScreenshot(shot, L"frame_96_close_hover");
    EXPECT_TRUE(ColorRectIs(shot, PaletteRgb(Palette().CloseHover), 4, kCloseShown));
    EXPECT_TRUE(frame->Button(kCaptionClose).hover);

    const unsigned paints = frame->FrameRepaints();
    SendNc(w, WM_NCMOUSEMOVE, POINT{kCloseCell.left, kCloseCell.top});
    SendNc(w, WM_NCMOUSEMOVE, POINT{kCloseCell.right - 1, 28});
    EXPECT_EQ(frame->FrameRepaints(), paints) << "moving within a button repainted the frame";

    // Minimize directly left of Close, in its own hover colour; Close goes dark.
    SendNc(w, WM_NCMOUSEMOVE, kOnMinimize);
    shot = Settled(w, kMinimizeShown, Palette().CaptionButtonHover);
    EXPECT_TRUE(ColorRectIs(shot, PaletteRgb(Palette().CaptionButtonHover), 4, kMinimizeShown));
    EXPECT_EQ(CountColor(shot, PaletteRgb(Palette().CloseHover), 4, kCloseShown), 0);

    // Leaving the frame takes the hover away.
    SendNc(w, WM_NCMOUSELEAVE, {});
    shot = Settled(w, RECT{601, 1, 603, 3}, Palette().CaptionBackground);
    EXPECT_EQ(CountColor(shot, PaletteRgb(Palette().CaptionButtonHover), 4, kMinimizeShown), 0);
}

TEST_F(FrameWindow, ReleaseOnlyOnThePressedButtonSendsItsCommand) {
    auto frame = Show();
    HWND w = frame->Handle();
    struct Case {
        const char* what;
        POINT press, moveTo, release;
        std::vector<WPARAM> commands;
    };
    const Case cases[] = {
        {"press and release on Close", kOnClose, kOnClose, kOnClose, {SC_CLOSE}},
        {"press and release on Minimize", kOnMinimize, kOnMinimize, kOnMinimize, {SC_MINIMIZE}},
        {"off Close, released on the strip", kOnClose, kOnStrip, kOnStrip, {}},
        {"off Close onto Minimize", kOnClose, kOnMinimize, kOnMinimize, {}},
        {"off Close and back", kOnClose, kOnStrip, kOnClose, {SC_CLOSE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frame->mouseMessages.clear();
        ::ShowWindow(w, SW_SHOWNOACTIVATE);
        frame->systemCommands.clear();
        frame->closes = 0;
        SendNc(w, WM_NCLBUTTONDOWN, c.press);
        EXPECT_TRUE(frame->Pressing());
        EXPECT_EQ(::GetCapture(), w) << "a held button holds the pointer";
        SendNc(w, WM_NCMOUSEMOVE, c.moveTo);
        if (c.release.x != c.moveTo.x) SendNc(w, WM_NCMOUSEMOVE, c.release);
        SendNc(w, WM_NCLBUTTONUP, c.release);
        EXPECT_EQ(frame->systemCommands, c.commands);
        EXPECT_FALSE(frame->Pressing());
        EXPECT_NE(::GetCapture(), w);
        for (int kind = 0; kind < kCaptionButtonCount; ++kind) EXPECT_FALSE(frame->Button(kind).pressed);
        if (!c.commands.empty() && c.commands[0] == SC_CLOSE) {
            EXPECT_EQ(frame->closes, 1) << "close handling reached";
        }
    }
    ::ShowWindow(w, SW_RESTORE);
}

TEST_F(FrameWindow, PressedButtonDraggedOffTheWindowAndReleasedSendsNothing) {
    auto frame = Show();
    HWND w = frame->Handle();
    // The pointer is held for the foreground window's input only, as on Windows.
    ::SetForegroundWindow(w);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == w; }, 5000));
    MouseTo(ScreenPointOf(w, kOnClose));
    MouseButton(true);
    PixelBuffer shot;
    ASSERT_TRUE(WaitUntil([&] { return frame->Button(kCaptionClose).pressed != 0; }, 5000)) << "press never arrived";
    EXPECT_EQ(::GetCapture(), w);
    shot = Settled(w, kCloseShown, Palette().ClosePressed);
    SaveScreenshot(shot, L"frame_96_close_pressed");
    EXPECT_TRUE(ColorRectIs(shot, PaletteRgb(Palette().ClosePressed), 4, kCloseShown));

    // Off the window altogether: no non-client message would ever come.
    RECT r{};
    ::GetWindowRect(w, &r);
    MouseTo(POINT{r.right + 40, r.bottom + 40});
    MouseButton(false);
    EXPECT_TRUE(WaitUntil([&] { return !frame->Pressing(); }, 5000))
        << "release never seen; messages " << Hex(frame->mouseMessages);
    EXPECT_TRUE(frame->systemCommands.empty());
    EXPECT_EQ(frame->closes, 0);
    shot = Settled(w, RECT{632, 2, 634, 4}, Palette().CaptionBackground);
    EXPECT_EQ(CountColor(shot, PaletteRgb(Palette().ClosePressed), 4, kCloseShown), 0) << "Close still drawn pressed";
    EXPECT_EQ(CountColor(shot, PaletteRgb(Palette().CloseHover), 4, kCloseShown), 0);
}

TEST_F(FrameWindow, DisabledButtonIsFadedAndNeverHit) {
    auto frame = Show();
    HWND w = frame->Handle();
    frame->Button(kCaptionClose).disabled = 1;
    frame->RepaintFrame();
    PixelBuffer shot;
    ASSERT_TRUE(WaitForCapture(w, [&](const PixelBuffer& p) { return Brightest(p, kCloseShown) < 100; }, shot, 5000));
    SaveScreenshot(shot, L"frame_96_close_disabled");
    // Faded, not gone: a constant alpha of 50 over the caption colour.
    EXPECT_GT(Brightest(shot, kCloseShown), 40);
    EXPECT_GT(Brightest(shot, kMinimizeShown), 150) << "Minimize is untouched";

    EXPECT_EQ(frame->HitTest(kOnClose), -1);
    // (A press there is a press on the strip: the platform's move loop,
    // which only real input could end.)
    SendNc(w, WM_NCMOUSEMOVE, kOnClose);
    SendNc(w, WM_NCLBUTTONUP, kOnClose);
    EXPECT_TRUE(frame->systemCommands.empty());
    shot = CaptureWindow(w);
    EXPECT_EQ(CountColor(shot, PaletteRgb(Palette().CloseHover), 4, kCloseShown), 0);
    EXPECT_EQ(CountColor(shot, PaletteRgb(Palette().ClosePressed), 4, kCloseShown), 0);
}

TEST_F(FrameWindow, PressingTheCaptionStripMovesTheWindow) {
    auto frame = Show();
    HWND w = frame->Handle();
    ::SetForegroundWindow(w);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == w; }, 5000));
    RECT before{};
    ::GetWindowRect(w, &before);
    // The platform's move loop runs inside the press on this thread, so the
    // input comes from another one, each step once the last has arrived.
    std::atomic<bool> done{false};
    std::thread input([&] {
        const POINT start = ScreenPointOf(w, kOnStrip);
        MouseTo(start);
        MouseButton(true);
        const DWORD limit = ::GetTickCount() + 5000;
        while (!frame->movingOrSizing && static_cast<LONG>(::GetTickCount() - limit) < 0) ::Sleep(10);
        for (int step = 1; step <= 4; ++step) {
            const POINT to{start.x + 10 * step, start.y + 5 * step};
            MouseTo(to);
            POINT now{};
            const DWORD stepLimit = ::GetTickCount() + 1000;
            while (::GetCursorPos(&now) && (now.x != to.x || now.y != to.y) &&
                   static_cast<LONG>(::GetTickCount() - stepLimit) < 0)
                ::Sleep(5);
        }
        MouseButton(false);
        done = true;
    });
    const bool finished = WaitUntil([&] { return done.load(); }, 15000);
    input.join();
    ASSERT_TRUE(finished);
    RECT after{};
    EXPECT_TRUE(WaitUntil([&] { ::GetWindowRect(w, &after); return after.left != before.left; }, 5000));
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 20);
    EXPECT_TRUE(frame->movingOrSizing);
    EXPECT_TRUE(frame->systemCommands.empty() || (frame->systemCommands[0] & 0xFFF0) == SC_MOVE);
}

TEST_F(FrameWindow, DoubleClickOnTheStripMaximizesOnlyWithAMaximizeBox) {
    auto wizard = Show();
    SendNc(wizard->Handle(), WM_NCLBUTTONDBLCLK, kOnStrip);
    EXPECT_TRUE(wizard->systemCommands.empty());
    EXPECT_FALSE(::IsZoomed(wizard->Handle()));

    auto sizable = Show(kWizardStyle | WS_MAXIMIZEBOX | WS_MINIMIZEBOX, 120, 90);
    HWND w = sizable->Handle();
    EXPECT_EQ(sizable->Button(kCaptionMaximize).cell, (FrameBox{601, 1, 631, 31}));
    EXPECT_EQ(sizable->Button(kCaptionMinimize).cell, (FrameBox{571, 1, 601, 31}));
    SendNc(w, WM_NCLBUTTONDBLCLK, kOnClose);  // on a button: nothing
    EXPECT_TRUE(sizable->systemCommands.empty());
    SendNc(w, WM_NCLBUTTONDBLCLK, kOnStrip);
    ASSERT_EQ(sizable->systemCommands, std::vector<WPARAM>{SC_MAXIMIZE});
    ASSERT_TRUE(::IsZoomed(w));
    EXPECT_TRUE(sizable->Button(kCaptionRestore).visible);
    EXPECT_FALSE(sizable->Button(kCaptionMaximize).visible);
    // The buttons stay on the screen: Close ends at the work area's right edge.
    RECT window{};
    ::GetWindowRect(w, &window);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &mi);
    sizable->RepaintFrame();
    EXPECT_LE(window.left + sizable->Button(kCaptionClose).cell.right, mi.rcWork.right);
    EXPECT_GE(window.top + sizable->Button(kCaptionClose).cell.top, mi.rcWork.top);
    SendNc(w, WM_NCLBUTTONDBLCLK, kOnStrip);
    EXPECT_EQ(sizable->systemCommands.back(), static_cast<WPARAM>(SC_RESTORE));
    EXPECT_FALSE(::IsZoomed(w));
}

TEST_F(FrameWindow, KeyboardCloseStillReachesTheWindow) {
    auto frame = Show();
    HWND w = frame->Handle();
    // Even with every caption button disabled (as the validation dialog has them).
    for (int kind = 0; kind < kCaptionButtonCount; ++kind) frame->Button(kind).disabled = 1;
    ::SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(frame->closes, 1) << "the system menu's Close";

    ::SetForegroundWindow(w);
    ::SetFocus(w);
    if (!WaitUntil([&] { return ::GetForegroundWindow() == w; }, 3000)) GTEST_SKIP() << "no foreground here";
    INPUT keys[4]{};
    const WORD vk[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = vk[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, keys, sizeof(INPUT));
    EXPECT_TRUE(WaitUntil([&] { return frame->closes == 2; }, 5000)) << "Alt+F4";
    // The window's name for screen readers is its title.
    wchar_t text[64]{};
    ::GetWindowTextW(w, text, 64);
    EXPECT_STREQ(text, L"KAVRO Free");
}

TEST_F(FrameWindow, CaptionTitleShowsIconAndText) {
    auto frame = Show();
    HWND w = frame->Handle();
    ovek::UniqueIcon icon(static_cast<HICON>(::LoadImageW(pictures_.get(), MAKEINTRESOURCEW(101), IMAGE_ICON, 32, 32, 0)));
    ASSERT_TRUE(icon);
    ::SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
    const RECT titleArea{28, 4, 200, 26};
    const RECT iconArea{5, 6, 23, 24};
    PixelBuffer shot = CaptureWindow(w);
    EXPECT_EQ(CountColor(shot, PaletteRgb(Palette().LightText), 40, titleArea), 0) << "no title without the flag";

    frame->captionTitle = 1;
    frame->RepaintFrame();
    shot = Settled(w, titleArea, Palette().LightText);
    SaveScreenshot(shot, L"frame_96_caption_title");
    EXPECT_GT(CountColor(shot, PaletteRgb(Palette().LightText), 40, titleArea), 30);
    // Left of the icon and of the text the strip is untouched.
    EXPECT_TRUE(AreaFilled(shot, RECT{1, 1, 5, 28}, PaletteRgb(Palette().CaptionBackground), 3));
    EXPECT_LT(CountColor(shot, PaletteRgb(Palette().CaptionBackground), 3, iconArea), 18 * 18) << "icon drawn";

    // A new window text shows at once, drawn by us rather than the platform.
    ::SetWindowTextW(w, L"Installing KAVRO Free");
    shot = Settled(w, RECT{110, 4, 160, 26}, Palette().LightText);
    EXPECT_TRUE(AreaFilled(shot, RECT{0, 0, 600, 1}, PaletteRgb(Palette().FrameBorder), 3));
}

TEST_F(FrameWindow, SizeChangeLaysOutTheClientAndTheButtons) {
    auto frame = Show();
    HWND w = frame->Handle();
    frame->layouts.clear();
    ::SetWindowPos(w, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_FALSE(frame->layouts.empty());
    const RECT last = frame->layouts.back();
    EXPECT_EQ(last.right, 498);
    EXPECT_EQ(last.bottom, 270);
    RECT region{};
    EXPECT_NE(::GetWindowRgnBox(w, &region), ERROR);
    SendNc(w, WM_NCMOUSEMOVE, POINT{484, 15});
    EXPECT_EQ(frame->HitTest(POINT{484, 15}), kCaptionClose);
    PixelBuffer shot = Settled(w, RECT{469, 1, 499, 29}, Palette().CloseHover);
    EXPECT_TRUE(ColorRectIs(shot, PaletteRgb(Palette().CloseHover), 4, RECT{469, 1, 499, 29}));
}

// The picture cache is process-wide and keyed by id, so a frame without
// pictures needs a process whose resources hold none: the helper's own.
TEST(FrameWithoutPictures, DrawsNothingAndStillWorks) {
    ProcessResult run = RunCaptured(L"\"" + BuildPath(L"frame_dpi_helper.exe") + L"\" missing", 60000);
    ASSERT_TRUE(run.exitCode.has_value()) << run.output;
    EXPECT_EQ(*run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("check missing-close-command"), std::string::npos) << run.output;
}

TEST_F(FrameWindow, FramePaintsLeakNoGdiObject) {
    auto frame = std::make_unique<RecordingFrame>(pictures_.get());
    ASSERT_TRUE(ShowFrame(*frame, 60, 60, 240, 80));
    HWND w = frame->Handle();
    ovek::UniqueIcon icon(static_cast<HICON>(::LoadImageW(pictures_.get(), MAKEINTRESOURCEW(101), IMAGE_ICON, 32, 32, 0)));
    ::SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
    frame->captionTitle = 1;  // every step of the paint: buttons, icon, text
    frame->RepaintFrame();
    auto paint = [&](int times) {
        for (int i = 0; i < times; ++i) {
            frame->Button(kCaptionClose).hover = i % 2;
            frame->RepaintFrame();
        }
        frame->Button(kCaptionClose).hover = 0;
    };
    const long before = GdiObjectCount();
    paint(1000);
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(FrameAt144Dpi, RunsAtStepped144) {
    ProcessResult run = RunAtDpi(144, L"\"" + BuildPath(L"frame_dpi_helper.exe") + L"\"", 60000);
    ASSERT_TRUE(run.exitCode.has_value()) << run.output;
    EXPECT_EQ(*run.exitCode, 0u) << run.output;
    // Each line the helper prints is "name expected measured"; any mismatch
    // is already counted in the exit code, this names it.
    std::istringstream lines(run.output);
    std::string line;
    int checks = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("check ", 0) != 0) continue;
        ++checks;
        EXPECT_EQ(line.find(" FAIL"), std::string::npos) << line;
    }
    EXPECT_GE(checks, 8) << run.output;
}

}  // namespace
}  // namespace ovek::test
