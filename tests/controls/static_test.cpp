// The label: its fallback font, its link focus rectangle, its pointer.
#include <gtest/gtest.h>

#include <string>

#include "button_dialog.h"
#include "controls/COvekStatic.h"
#include "ui/Scaling.h"

namespace ovek::test {
namespace {

enum : int { kLabel = 140, kLink = 152 };
constexpr Rgb kInk{255, 255, 255};

// Where `text` inks when drawn in `font` into a label-sized surface:
// the reference a label's capture is compared with.
std::optional<RECT> ReferenceInk(HFONT font, const std::wstring& text, int width, int height, UINT format) {
    HDC screen = ::GetDC(nullptr);
    CMemorySurface s(screen, width, height);
    ::ReleaseDC(nullptr, screen);
    FillSolid(s.dc(), s.Bounds(), RGB(0, 0, 0));
    CSelectObject select(s.dc(), font);
    ::SetBkMode(s.dc(), TRANSPARENT);
    ::SetTextColor(s.dc(), RGB(255, 255, 255));
    RECT r = s.Bounds();
    ::DrawTextW(s.dc(), text.c_str(), static_cast<int>(text.size()), &r, format);
    ::GdiFlush();
    PixelBuffer p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t v = s.pixels()[y * width + x];
            p.Set(x, y, Rgb{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
        }
    return FindColorBounds(p, kInk, 100);
}

bool SameRect(const std::optional<RECT>& a, const std::optional<RECT>& b) {
    return a && b && ::EqualRect(&*a, &*b);
}

class StaticTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CreateSharedFonts(); }
    void SetUp() override {
        CDialogTemplate t = PopupTemplate();
        t.Add(L"STATIC", L"Installation folder:", kLabel, SS_RIGHT | WS_TABSTOP, 10, 10, 100, 12);
        t.Add(L"STATIC", L"License Terms", kLink, SS_LEFT | WS_TABSTOP, 10, 40, 100, 12);
        dialog.init = [&](HWND d) {
            ASSERT_TRUE(label.Bind(d, kLabel));
            ASSERT_TRUE(link.Bind(d, kLink));
            const Color bg = Palette().WindowBackground;
            label.SetColors(bg, ovek::Rgb(255, 255, 255), ovek::Rgb(255, 255, 255));
            link.SetColors(bg, ovek::Rgb(255, 255, 255), ovek::Rgb(255, 255, 255));
            link.SetLink(true);
            label.SetFormat(DT_LEFT | DT_SINGLELINE | DT_VCENTER);
            link.SetFormat(DT_LEFT | DT_SINGLELINE | DT_BOTTOM);
        };
        ASSERT_NE(dialog.Open(t), nullptr);
        dialog.Place(kLabel, 20, 20, 200, 30);
        dialog.Place(kLink, 20, 80, 140, 24);
    }
    void TearDown() override {
        dialog.End(0);
        PumpMessages();
    }
    ControlDialog dialog;
    COvekStatic label, link;
};

TEST_F(StaticTest, LabelWithoutFontDrawsInArialAtTheUnsteppedSize) {
    label.SetText(L"Installation folder: Hg");
    wchar_t shown[64]{};
    ::GetWindowTextW(dialog.Item(kLabel), shown, 64);
    EXPECT_STREQ(shown, L"Installation folder: Hg") << "window text follows the text drawn";
    LOGFONTW lf = ThemeFontDescription(L"Arial", UnsteppedX(14), FW_NORMAL);
    UniqueFont arial(::CreateFontIndirectW(&lf));
    lf = ThemeFontDescription(L"Arial", UnsteppedX(14) + 3, FW_NORMAL);
    UniqueFont larger(::CreateFontIndirectW(&lf));
    const UINT format = DT_LEFT | DT_SINGLELINE | DT_VCENTER;
    const auto want = ReferenceInk(arial.get(), label.Text(), 200, 30, format);
    const auto wrong = ReferenceInk(larger.get(), label.Text(), 200, 30, format);
    ASSERT_TRUE(want && wrong);
    ASSERT_NE(want->right, wrong->right) << "the reference tells the sizes apart";
    PixelBuffer shot;
    WaitForPaint(dialog.Handle(), 3000);
    WaitForCapture(dialog.Item(kLabel), [&](const PixelBuffer& s) { return SameRect(FindColorBounds(s, kInk, 100), want); },
                   shot, 3000);
    EXPECT_TRUE(ColorRectIs(shot, kInk, 100, *want));
    EXPECT_TRUE(PixelNear(shot, 199, 0, RgbOf(Palette().WindowBackground), 0));
    SaveScreenshot(shot, L"label-default-font-96");

    // A font set by the owner replaces the fallback.
    label.SetFont(Fonts().tahoma14);
    label.SetText(label.Text());
    const auto tahoma = ReferenceInk(Fonts().tahoma14, label.Text(), 200, 30, format);
    WaitForCapture(dialog.Item(kLabel), [&](const PixelBuffer& s) { return SameRect(FindColorBounds(s, kInk, 100), tahoma); },
                   shot, 3000);
    EXPECT_TRUE(ColorRectIs(shot, kInk, 100, *tahoma));
}

TEST_F(StaticTest, FocusedLinkShowsItsRectangleTwoPixelsInside) {
    link.SetText(L"License Terms");
    label.SetText(L"Installation folder:");
    HWND l = dialog.Item(kLink);
    const Rgb bg = RgbOf(Palette().WindowBackground);
    const RECT leftEdge{2, 3, 3, 9};  // column x = 2, above the text
    PixelBuffer shot;
    WaitForPaint(dialog.Handle(), 3000);
    ASSERT_TRUE(WaitForCapture(l, [&](const PixelBuffer& s) { return CountColor(s, bg, 0, leftEdge) == 6; }, shot, 3000));

    ::SetFocus(l);
    EXPECT_TRUE(link.Focused());
    ASSERT_TRUE(WaitForCapture(l, [&](const PixelBuffer& s) { return CountColor(s, bg, 0, leftEdge) < 6; }, shot, 3000));
    SaveScreenshot(shot, L"link-focused-96");
    // Dotted: every other pixel; nothing outside the rectangle (the text
    // starts at the left edge, so only the rows above it are checked there).
    EXPECT_NEAR(CountColor(shot, bg, 0, leftEdge), 3, 1);
    EXPECT_TRUE(AreaFilled(shot, RECT{0, 0, 2, 9}, bg, 0));
    EXPECT_TRUE(AreaFilled(shot, RECT{0, 0, 140, 2}, bg, 0));
    EXPECT_TRUE(AreaFilled(shot, RECT{138, 0, 140, 24}, bg, 0));
    EXPECT_FALSE(AreaFilled(shot, RECT{4, 2, 136, 3}, bg, 0)) << "top line at y = 2";
    EXPECT_FALSE(AreaFilled(shot, RECT{137, 4, 138, 20}, bg, 0)) << "right line at x = width - 3";
    EXPECT_FALSE(AreaFilled(shot, RECT{100, 21, 136, 22}, bg, 0)) << "bottom line at y = height - 3";

    // A plain label with the focus draws no rectangle; the link loses its own.
    ::SetFocus(dialog.Item(kLabel));
    EXPECT_FALSE(link.Focused());
    ASSERT_TRUE(WaitForCapture(l, [&](const PixelBuffer& s) { return CountColor(s, bg, 0, leftEdge) == 6; }, shot, 3000));
    PixelBuffer plain = CaptureWindow(dialog.Item(kLabel));
    EXPECT_TRUE(AreaFilled(plain, RECT{0, 0, 200, 3}, bg, 0));
    EXPECT_TRUE(AreaFilled(plain, RECT{2, 0, 3, 30}, bg, 0));
}

TEST_F(StaticTest, LinkShowsTheHandAndNotifiesItsParent) {
    link.SetText(L"License Terms");
    HWND l = dialog.Item(kLink);
    ::SendMessageW(l, WM_SETCURSOR, reinterpret_cast<WPARAM>(l), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    ::SendMessageW(dialog.Item(kLabel), WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog.Item(kLabel)),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW)) << "a plain label keeps the arrow";
    // A link is hit by the pointer (a plain static is transparent to it).
    EXPECT_EQ(::SendMessageW(l, WM_NCHITTEST, 0, 0), HTCLIENT);
}

}  // namespace
}  // namespace ovek::test
