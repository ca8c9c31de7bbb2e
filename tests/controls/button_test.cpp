// The text button and the picture button as real windows: what they post,
// what they draw, and what they leave behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "button_dialog.h"
#include "support/GdiCount.h"
#include "support/TestSupport.h"
#include "controls/COvekButton.h"
#include "controls/COvekButtonRules.h"
#include "controls/COvekStatic.h"
#include "controls/COvekTextButton.h"

namespace ovek::test {
namespace {

constexpr int kInstall = 133;
constexpr int kCheck = 134;

TEST(ButtonRules, LookAndCaptionPlacement) {
    EXPECT_EQ(TextButtonLook(false, true, true), ButtonLook::Disabled);
    EXPECT_EQ(TextButtonLook(true, true, true), ButtonLook::Hover);
    EXPECT_EQ(TextButtonLook(true, false, true), ButtonLook::Pressed);
    EXPECT_EQ(TextButtonLook(true, false, false), ButtonLook::Normal);
    // Ink sticking out above and below the lines counts; ink inside does not.
    EXPECT_EQ(InkedHeight({0.0f, 17.0f, 34.0f, 0.0f, -17.0f}), 17);
    EXPECT_EQ(InkedHeight({2.0f, 17.0f, 34.0f, 1.0f, -14.0f}), 3 + 17 + 1);
    EXPECT_EQ(CentredCaptionTop(0, 34, 17), 8);
    EXPECT_FLOAT_EQ(FaceRadius(4, 6), 3.0f);
    struct Case {
        int cellW, cellH, picW, picH, frames;
        bool horizontal;
        CellPlacement want;
    } cases[] = {
        {16, 16, 16, 16, 1, true, {0, 0, 16, 16}},
        {24, 20, 16, 16, 1, true, {4, 2, 16, 16}},
        {20, 20, 42, 14, 3, true, {3, 3, 14, 14}},   // a strip: one frame only
        {20, 20, 14, 42, 3, false, {3, 3, 14, 14}},  // stacked frames
        {20, 20, 16, 16, 0, true, {0, 0, 0, 0}},     // no picture
    };
    for (const Case& c : cases) {
        const CellPlacement p = FirstFrameInCell(c.cellW, c.cellH, c.picW, c.picH, c.frames, c.horizontal);
        EXPECT_EQ(std::vector<int>({p.x, p.y, p.width, p.height}),
                  std::vector<int>({c.want.x, c.want.y, c.want.width, c.want.height}));
    }
}

class ButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CreateSharedFonts(); }

    void Open(const std::wstring& caption = L"Install", int width = 300, int height = 34) {
        CDialogTemplate t = PopupTemplate();
        t.Add(L"BUTTON", caption, kInstall, BS_OWNERDRAW | WS_TABSTOP, 10, 10, 100, 20);
        t.Add(L"BUTTON", L"I accept the License Terms", kCheck, BS_PUSHBUTTON | WS_TABSTOP, 10, 60, 10, 10);
        dialog.init = [&](HWND d) {
            ASSERT_TRUE(text.Bind(d, kInstall));
            ASSERT_TRUE(check.Bind(d, kCheck));
        };
        ASSERT_NE(dialog.Open(t), nullptr);
        dialog.Place(kInstall, 20, 20, width, height);
        dialog.Place(kCheck, 20, 100, 24, 20);
        ASSERT_TRUE(WaitForPaint(dialog.Handle(), 5000));
    }
    void TearDown() override {
        MouseButton(false);
        MouseTo({5, 5});
        dialog.End(0);
        PumpMessages();
    }
    PixelBuffer Shot(HWND w, const std::function<bool(const PixelBuffer&)>& accept) {
        PixelBuffer shot;
        WaitForPaint(dialog.Handle(), 2000);
        WaitForCapture(w, accept, shot, 3000);
        return shot;
    }
    static Rgb Face(const PixelBuffer& s) { return s.At(10, s.Height() / 2); }

    ControlDialog dialog;
    COvekTextButton text;
    COvekButton check;
};

TEST_F(ButtonTest, ClickCountsOnlyWhenReleasedInside) {
    Open();
    HWND b = dialog.Item(kInstall);
    struct Case {
        const char* name;
        bool backInside;
        int clicks;
    } cases[] = {{"released outside", false, 0}, {"moved back in", true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.commands.clear();
        MouseTo(ScreenPointOf(b, 150, 17));
        MouseButton(true);
        ASSERT_TRUE(dialog.PumpUntil([&] { return text.Captured(); }));
        MouseTo(ScreenPointOf(b, 150, 120));  // well below the button
        dialog.Settle();
        if (c.backInside) {
            MouseTo(ScreenPointOf(b, 40, 10));
            dialog.Settle();
        }
        MouseButton(false);
        ASSERT_TRUE(dialog.PumpUntil([&] { return !text.Captured(); }));
        dialog.Settle();
        EXPECT_EQ(dialog.Clicks(kInstall), c.clicks);
        EXPECT_FALSE(text.Pressed());
        if (c.clicks) {
            EXPECT_EQ(dialog.commands.back().from, b);
        }
    }
}

TEST_F(ButtonTest, TextButtonFacesFollowTheState) {
    Open();
    HWND b = dialog.Item(kInstall);
    const ThemePalette& p = Palette();
    // Normal, with the corner outside the rounded face in the surround.
    PixelBuffer shot = Shot(b, [&](const PixelBuffer& s) { return ColorDistance(Face(s), RgbOf(p.ButtonFace)) <= 2; });
    EXPECT_TRUE(PixelNear(shot, 10, 17, RgbOf(p.ButtonFace), 2));
    EXPECT_TRUE(PixelNear(shot, 0, 0, RgbOf(p.WindowBackground), 2));
    EXPECT_TRUE(PixelNear(shot, 299, 33, RgbOf(p.WindowBackground), 2));
    SaveScreenshot(shot, L"text-button-normal-96");

    MouseTo(ScreenPointOf(b, 150, 17));
    ASSERT_TRUE(dialog.PumpUntil([&] { return text.Hover(); }));
    shot = Shot(b, [&](const PixelBuffer& s) { return ColorDistance(Face(s), RgbOf(p.ButtonHover)) <= 2; });
    EXPECT_TRUE(PixelNear(shot, 10, 17, RgbOf(p.ButtonHover), 2));
    SaveScreenshot(shot, L"text-button-hover-96");

    // Held, with the pointer gone: the pressed face.
    MouseButton(true);
    ASSERT_TRUE(dialog.PumpUntil([&] { return text.Pressed(); }));
    MouseTo({5, 5});
    ASSERT_TRUE(dialog.PumpUntil([&] { return !text.Hover(); })) << "leave notification under capture";
    shot = Shot(b, [&](const PixelBuffer& s) { return ColorDistance(Face(s), RgbOf(p.ButtonPressed)) <= 2; });
    EXPECT_TRUE(PixelNear(shot, 10, 17, RgbOf(p.ButtonPressed), 2));
    SaveScreenshot(shot, L"text-button-pressed-96");
    MouseButton(false);
    ASSERT_TRUE(dialog.PumpUntil([&] { return !text.Captured(); }));
    dialog.Settle();
    EXPECT_EQ(dialog.Clicks(kInstall), 0);
}

TEST_F(ButtonTest, DisabledTextButtonIsGreyAndDeaf) {
    Open();
    HWND b = dialog.Item(kInstall);
    text.SetEnabled(false);
    const ThemePalette& p = Palette();
    PixelBuffer shot =
        Shot(b, [&](const PixelBuffer& s) { return ColorDistance(Face(s), RgbOf(p.ButtonDisabled)) <= 2; });
    EXPECT_TRUE(PixelNear(shot, 10, 17, RgbOf(p.ButtonDisabled), 2));
    // The caption's brightest ink is the near-white, never pure white.
    const RECT inside{0, 0, shot.Width(), shot.Height()};
    EXPECT_GT(CountColor(shot, RgbOf(p.ButtonTextDisabled), 3, inside), 5);
    EXPECT_EQ(CountColor(shot, Rgb{255, 255, 255}, 6, inside), 0);
    SaveScreenshot(shot, L"text-button-disabled-96");
    EXPECT_FALSE(::IsWindowEnabled(b));

    // Clicks and double-clicks sent straight to it change nothing.
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        ::SendMessageW(b, m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(20, 10));
    }
    EXPECT_FALSE(text.Captured());
    // And through the input queue.
    MouseTo(ScreenPointOf(b, 150, 17));
    MouseButton(true);
    MouseButton(false);
    dialog.Settle();
    EXPECT_EQ(dialog.Clicks(kInstall), 0);
    EXPECT_FALSE(text.Hover());

    text.SetEnabled(true);
    EXPECT_TRUE(::IsWindowEnabled(b));
    ::SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    ::SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    dialog.Settle();
    EXPECT_EQ(dialog.Clicks(kInstall), 1);
}

// Bounding box of the caption's ink: pixels much nearer white than the face.
std::optional<RECT> InkBounds(const PixelBuffer& shot) {
    return FindColorBounds(shot, Rgb{255, 255, 255}, 100);
}

TEST_F(ButtonTest, LongCaptionWrapsAndStaysCentred) {
    Open(L"Install", 160, 80);
    HWND b = dialog.Item(kInstall);
    PixelBuffer one = Shot(b, [](const PixelBuffer& s) { return InkBounds(s).has_value(); });
    const auto oneLine = InkBounds(one);
    ASSERT_TRUE(oneLine);
    text.SetCaption(L"Install the whole product now");
    EXPECT_EQ(::SendMessageW(b, WM_GETTEXTLENGTH, 0, 0), 29) << "window text follows the caption";
    PixelBuffer two = Shot(b, [&](const PixelBuffer& s) {
        auto r = InkBounds(s);
        return r && r->bottom - r->top > (oneLine->bottom - oneLine->top) * 2;
    });
    const auto wrapped = InkBounds(two);
    ASSERT_TRUE(wrapped);
    SaveScreenshot(two, L"text-button-wrapped-96");
    EXPECT_GT(wrapped->bottom - wrapped->top, 2 * (oneLine->bottom - oneLine->top));
    EXPECT_LE(wrapped->right - wrapped->left, 160);
    // Centred both ways within a couple of pixels (ink is not symmetric).
    EXPECT_NEAR((wrapped->top + wrapped->bottom) / 2.0, 40.0, 3.0);
    EXPECT_NEAR((wrapped->left + wrapped->right) / 2.0, 80.0, 4.0);
}

TEST_F(ButtonTest, PictureIsDrawnUnscaledInTheMiddleOfItsCell) {
    Open();
    HWND c = dialog.Item(kCheck);
    const Color cell = ovek::Rgb(24, 25, 30);
    check.SetColors(cell, cell, cell, cell, L"");
    // A three-frame strip: only the first (opaque red, one half-transparent
    // corner) may show.
    UniqueBitmap strip = MakePicture(48, 16, [](int x, int y) -> uint32_t {
        if (x >= 16) return 0xFF00FF00;
        if (x == 0 && y == 0) return 0x80800000;  // red at half alpha, premultiplied
        return 0xFFFF0000;
    });
    check.SetPicture(strip.get(), SIZE{48, 16}, 3, true);
    ::InvalidateRect(c, nullptr, FALSE);
    PixelBuffer shot = Shot(c, [](const PixelBuffer& s) { return s.At(12, 10) == Rgb{255, 0, 0}; });
    // Cell 24 x 20, frame 16 x 16: at (4, 2).
    EXPECT_TRUE(ColorRectIs(shot, Rgb{255, 0, 0}, 0, RECT{4, 2, 20, 18}));
    EXPECT_EQ(CountColor(shot, Rgb{0, 255, 0}, 40, RECT{0, 0, 24, 20}), 0);
    EXPECT_TRUE(PixelNear(shot, 4, 2, Rgb{128 + 12, 12, 15}, 3)) << "per-pixel alpha over the cell";
    EXPECT_TRUE(PixelNear(shot, 1, 1, RgbOf(cell), 0));

    // SetColors drops the picture; the template's name stays the window text.
    check.SetColors(cell, cell, cell, cell, L"");
    ::InvalidateRect(c, nullptr, FALSE);
    shot = Shot(c, [&](const PixelBuffer& s) { return s.At(12, 10) == RgbOf(cell); });
    EXPECT_TRUE(AreaFilled(shot, RECT{0, 0, 24, 20}, RgbOf(cell), 0));
    wchar_t name[64]{};
    ::GetWindowTextW(c, name, 64);
    EXPECT_STREQ(name, L"I accept the License Terms");
}

TEST_F(ButtonTest, PictureButtonHoverOutlineAndClick) {
    Open();
    HWND c = dialog.Item(kCheck);
    check.SetColors(ovek::Rgb(65, 66, 70), ovek::Rgb(90, 0, 0), ovek::Rgb(0, 90, 0), ovek::Rgb(0, 0, 200), L"...");
    ::InvalidateRect(c, nullptr, FALSE);
    PixelBuffer shot = Shot(c, [](const PixelBuffer& s) { return s.At(1, 1) == Rgb{65, 66, 70}; });
    EXPECT_TRUE(PixelNear(shot, 0, 0, Rgb{65, 66, 70}, 0));
    MouseTo(ScreenPointOf(c, 12, 10));
    ASSERT_TRUE(dialog.PumpUntil([&] { return check.Hover(); })) << "hover notification after 1 ms";
    shot = Shot(c, [](const PixelBuffer& s) { return s.At(1, 1) == Rgb{90, 0, 0}; });
    EXPECT_TRUE(PixelNear(shot, 0, 0, Rgb{0, 0, 200}, 0)) << "border";
    EXPECT_TRUE(PixelNear(shot, 1, 1, Rgb{90, 0, 0}, 0)) << "hover fill";
    SaveScreenshot(shot, L"browse-button-hover-96");
    MouseButton(true);
    ASSERT_TRUE(dialog.PumpUntil([&] { return check.Pressed(); }));
    EXPECT_EQ(::GetFocus(), c) << "a press takes the focus";
    shot = Shot(c, [](const PixelBuffer& s) { return s.At(1, 1) == Rgb{0, 90, 0}; });
    EXPECT_TRUE(PixelNear(shot, 1, 1, Rgb{0, 90, 0}, 0)) << "pressed fill";
    MouseButton(false);
    ASSERT_TRUE(dialog.PumpUntil([&] { return dialog.Clicks(kCheck) == 1; }));
    dialog.Settle();
    EXPECT_EQ(dialog.Clicks(kCheck), 1) << "exactly one click, not the platform's as well";
    MouseTo({5, 5});
    EXPECT_TRUE(dialog.PumpUntil([&] { return !check.Hover(); }));
}

// A text button whose drawing objects can be refused or lost.
class FragileTextButton : public COvekTextButton {
public:
    bool refuseFactory = false, refuseTarget = false, refuseText = false;
    int lostTargets = 0;
    int targetsMade = 0;
    std::vector<std::wstring> traces;

protected:
    ComPtr<ID2D1Factory> MakeDrawingFactory() override {
        return refuseFactory ? ComPtr<ID2D1Factory>() : COvekTextButton::MakeDrawingFactory();
    }
    ComPtr<ID2D1DCRenderTarget> MakeRenderTarget(ID2D1Factory* f) override {
        ++targetsMade;
        return refuseTarget ? ComPtr<ID2D1DCRenderTarget>() : COvekTextButton::MakeRenderTarget(f);
    }
    ComPtr<IDWriteFactory> MakeTextFactory() override {
        return refuseText ? ComPtr<IDWriteFactory>() : COvekTextButton::MakeTextFactory();
    }
    HRESULT FinishDrawing(ID2D1RenderTarget* t) override {
        const HRESULT hr = COvekTextButton::FinishDrawing(t);
        if (lostTargets > 0) {
            --lostTargets;
            return static_cast<HRESULT>(D2DERR_RECREATE_TARGET);
        }
        return hr;
    }
    void Trace(const wchar_t* t) override { traces.emplace_back(t); }
};

class FragileButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CreateSharedFonts(); }
    void TearDown() override {
        dialog.End(0);
        PumpMessages();
    }
    HWND Open() {
        CDialogTemplate t = PopupTemplate();
        t.Add(L"BUTTON", L"Install", kInstall, BS_OWNERDRAW | WS_TABSTOP, 10, 10, 100, 20);
        dialog.init = [&](HWND d) { ASSERT_TRUE(button.Bind(d, kInstall)); };
        dialog.Open(t);
        dialog.Place(kInstall, 20, 20, 200, 34);
        return dialog.Item(kInstall);
    }
    void Repaint(HWND b) {
        ::InvalidateRect(b, nullptr, FALSE);
        ::UpdateWindow(b);
    }
    ControlDialog dialog;
    FragileTextButton button;
};

TEST_F(FragileButtonTest, RefusedDrawingObjectsDrawNothingAndSaySo) {
    struct Case {
        bool factory, target, text;
        const wchar_t* trace;
    } cases[] = {{true, false, false, L"Failed to cread Direct2D Factory"},
                 {false, true, false, L"Failed to cread Direct2D Render Target"},
                 {false, false, true, L"Failed to cread Direct2D Write Factory"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.trace)));
        FragileTextButton fragile;
        fragile.refuseFactory = c.factory;
        fragile.refuseTarget = c.target;
        fragile.refuseText = c.text;
        CDialogTemplate t = PopupTemplate();
        t.Add(L"BUTTON", L"Install", kInstall, BS_OWNERDRAW, 10, 10, 100, 20);
        ControlDialog d;
        d.init = [&](HWND h) { ASSERT_TRUE(fragile.Bind(h, kInstall)); };
        ASSERT_NE(d.Open(t), nullptr);
        d.Place(kInstall, 20, 20, 200, 34);
        HWND b = d.Item(kInstall);
        ASSERT_TRUE(WaitForPaint(d.Handle(), 5000));
        ASSERT_FALSE(fragile.traces.empty());
        EXPECT_EQ(fragile.traces.front(), c.trace);
        // Nothing of the face reached the window: no blue anywhere.
        PixelBuffer shot = CaptureWindow(b);
        EXPECT_EQ(CountColor(shot, RgbOf(Palette().ButtonFace), 20, RECT{0, 0, shot.Width(), shot.Height()}), 0);
        d.End(0);
        PumpMessages();
    }
}

TEST_F(FragileButtonTest, LostRenderTargetIsMadeAgainAtTheNextPaint) {
    HWND b = Open();
    ASSERT_TRUE(WaitForPaint(dialog.Handle(), 5000));
    const int before = button.targetsMade;
    EXPECT_GE(before, 1);
    Repaint(b);
    EXPECT_EQ(button.targetsMade, before) << "kept between paints";
    button.lostTargets = 1;
    Repaint(b);
    Repaint(b);
    EXPECT_EQ(button.targetsMade, before + 1);
    PixelBuffer shot;
    EXPECT_TRUE(WaitForCapture(b, [](const PixelBuffer& s) { return s.At(10, 17) == RgbOf(Palette().ButtonFace); },
                               shot, 3000));
}

// Every control that makes GDI objects while it paints: the text button,
// the picture button in its hover look (pen, brush, memory DC), a label
// without a font (the font made for each paint).
TEST(ButtonResources, AThousandPaintsLeakNoGdiObject) {
    CreateSharedFonts();
    COvekTextButton text;
    COvekButton picture;
    COvekStatic label;
    UniqueBitmap bits = MakePicture(16, 16, [](int, int) { return 0xFFFF0000u; });
    CDialogTemplate t = PopupTemplate();
    t.Add(L"BUTTON", L"Install", kInstall, BS_OWNERDRAW, 10, 10, 100, 20);
    t.Add(L"BUTTON", L"Browse", kCheck, BS_PUSHBUTTON, 10, 40, 20, 20);
    t.Add(L"STATIC", L"Label", 135, SS_LEFT, 10, 70, 100, 10);
    ControlDialog d;
    d.init = [&](HWND h) {
        ASSERT_TRUE(text.Bind(h, kInstall));
        ASSERT_TRUE(picture.Bind(h, kCheck));
        ASSERT_TRUE(label.Bind(h, 135));
    };
    ASSERT_NE(d.Open(t), nullptr);
    picture.SetColors(ovek::Rgb(1, 2, 3), ovek::Rgb(4, 5, 6), ovek::Rgb(7, 8, 9), ovek::Rgb(10, 11, 12), L"...");
    picture.SetPicture(bits.get(), SIZE{16, 16});
    label.SetText(L"Installation folder:");
    ASSERT_TRUE(WaitForPaint(d.Handle(), 5000));
    ::SendMessageW(d.Item(kCheck), WM_MOUSEHOVER, 0, 0);  // outlined from now on
    ASSERT_TRUE(picture.Hover());
    // The paths of WM_PAINT without the trip to the screen: the same drawing
    // into a DC of ours.
    HDC screen = ::GetDC(nullptr);
    CMemorySurface target(screen, 320, 40);
    ::ReleaseDC(nullptr, screen);
    auto paintAll = [&](int times) {
        for (int i = 0; i < times; ++i)
            for (int id : {kInstall, kCheck, 135})
                ::SendMessageW(d.Item(id), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target.dc()), PRF_CLIENT);
        PumpMessages();
    };
    paintAll(10);  // whatever is made once and kept
    const long before = GdiObjectCount();
    const ULONGLONG start = ::GetTickCount64();
    paintAll(1000);
    const long after = GdiObjectCount();
    std::printf("1000 paints of three controls: %llu ms; GDI count %ld -> %ld\n", ::GetTickCount64() - start, before, after);
    EXPECT_EQ(after, before) << before << " -> " << after;
    d.End(0);
    PumpMessages();
}

// The same controls at 144 dpi, in a process of their own (the resolution
// is read once per process).
TEST(ButtonDpi, StepsAt144) {
    const ProcessResult r = RunAtDpi(144, L"\"" + BuildPath(L"button_dpi_helper.exe") + L"\"", 60000);
    EXPECT_EQ(r.exitCode, std::optional<DWORD>(0)) << r.output;
    EXPECT_NE(r.output.find("dpi 144 x 144"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace ovek::test
