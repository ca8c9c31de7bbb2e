// The off-screen painting path: a composition with a Direct2D rounded
// rectangle and DirectWrite text reaches the screen whole, and WM_PRINTCLIENT
// gets the same picture.
#include <gtest/gtest.h>

#include "framework/Direct2D.h"
#include "framework/Gdi.h"
#include "framework/Window.h"
#include "support/GdiCount.h"
#include "support/WindowTesting.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

using test::RgbOf;

constexpr RECT kFace{20, 20, 220, 80};

class ComposedWindow : public CWindow {
public:
    int paints = 0;
    bool drew = false;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_ERASEBKGND) return 1;  // the composition covers everything
        if (PaintOffscreen(Handle(), msg, wp, [this](CMemorySurface& s) { Compose(s); })) {
            if (msg == WM_PAINT) ++paints;
            return 0;
        }
        return DefaultProc(msg, wp, lp);
    }

private:
    void Compose(CMemorySurface& surface) {
        if (!factory_) factory_ = CreateDrawingFactory();
        if (!target_) target_ = CreateDCRenderTarget(factory_.get());
        if (!text_) text_ = CreateTextFactory();
        if (!target_ || !text_) return;
        if (!format_ && FAILED(text_->CreateTextFormat(L"Tahoma", nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                                                       DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                                       20.0f, L"", format_.put())))
            return;
        format_->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_CENTER);
        format_->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
        const RECT all = surface.Bounds();
        if (FAILED(target_->BindDC(surface.dc(), &all))) return;
        target_->BeginDraw();
        // What GDI drew before BeginDraw does not survive in Wine's DC
        // render target: the pass paints its whole rectangle itself.
        target_->Clear(ToD2DColor(Palette().WindowBackground));
        ComPtr<ID2D1SolidColorBrush> face, ink;
        target_->CreateSolidColorBrush(ToD2DColor(Palette().ButtonFace), face.put());
        target_->CreateSolidColorBrush(ToD2DColor(Palette().ButtonText), ink.put());
        const D2D1_RECT_F box = D2D1::RectF(kFace.left, kFace.top, kFace.right, kFace.bottom);
        target_->FillRoundedRectangle(D2D1::RoundedRect(box, 12.0f, 12.0f), face.get());
        target_->DrawText(L"Install", 7, format_.get(), box, ink.get());
        if (target_->EndDraw() == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) target_.reset();
        drew = true;
    }

    ComPtr<ID2D1Factory> factory_;
    ComPtr<ID2D1DCRenderTarget> target_;
    ComPtr<IDWriteFactory> text_;
    ComPtr<IDWriteTextFormat> format_;
};

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(CWindow::RegisterClass(L"OvekPaintTest"), 0);
        ASSERT_TRUE(window.Create(L"OvekPaintTest", nullptr, L"Paint", WS_POPUP | WS_VISIBLE, 0, 40, 40,
                                  240, 100));
        ASSERT_TRUE(test::WaitForPaint(window.Handle(), 10000));
        ASSERT_TRUE(window.drew) << "Direct2D or DirectWrite could not be set up";
    }
    ComposedWindow window;
};

TEST_F(PaintTest, RoundedFaceAndTextReachTheScreen) {
    const test::Rgb background = RgbOf(Palette().WindowBackground);
    const test::Rgb face = RgbOf(Palette().ButtonFace);
    test::PixelBuffer shot;
    ASSERT_TRUE(test::WaitForCapture(
        window.Handle(), [&](const test::PixelBuffer& p) { return test::ColorDistance(p.At(30, 50), face) <= 2; },
        shot, 5000))
        << "the face never reached the screen";
    EXPECT_TRUE(test::PixelNear(shot, 5, 5, background, 0));
    EXPECT_TRUE(test::PixelNear(shot, 230, 90, background, 0));
    // Inside the rounded face, away from the text.
    EXPECT_TRUE(test::PixelNear(shot, 30, 50, face, 2));
    EXPECT_TRUE(test::PixelNear(shot, 210, 30, face, 2));
    // The corners are rounded: the very corner pixel keeps the background.
    EXPECT_TRUE(test::PixelNear(shot, kFace.left, kFace.top, background, 40));
    // The face fills its rectangle, anti-aliased only at the rounded corners.
    EXPECT_TRUE(test::ColorRectIs(shot, face, 8, kFace, 1));
    // White ink in the middle of the face, and nowhere outside it.
    const RECT middle{70, 30, 170, 70};
    EXPECT_GT(test::CountColor(shot, RgbOf(Palette().ButtonText), 60, middle), 20);
    const RECT above{0, 0, 240, kFace.top};
    EXPECT_EQ(test::CountColor(shot, RgbOf(Palette().ButtonText), 60, above), 0);
    test::SaveScreenshot(shot, L"framework-composition");
}

TEST_F(PaintTest, PrintClientDrawsWhatThePaintDraws) {
    test::PixelBuffer shot;
    ASSERT_TRUE(test::WaitForCapture(
        window.Handle(),
        [&](const test::PixelBuffer& p) { return test::ColorDistance(p.At(30, 50), RgbOf(Palette().ButtonFace)) <= 2; },
        shot, 5000));
    HDC screen = ::GetDC(nullptr);
    CMemorySurface printed(screen, 240, 100);
    ::ReleaseDC(nullptr, screen);
    ASSERT_TRUE(printed);
    const int paintsBefore = window.paints;
    ::SendMessageW(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT);
    ::GdiFlush();
    EXPECT_EQ(window.paints, paintsBefore);  // printed, not painted
    int differing = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 240; ++x) {
            const uint32_t v = printed.pixels()[y * 240 + x];
            const test::Rgb p{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
            if (test::ColorDistance(p, shot.At(x, y)) > 2) ++differing;
        }
    EXPECT_EQ(differing, 0);
}

TEST_F(PaintTest, RepaintsAndFontsLeakNoGdiObject) {
    // One round first: lazily created objects are not leaks.
    CreateSharedFonts();
    ReleaseSharedFonts();
    const long before = test::GdiObjectCount();
    for (int i = 0; i < 100; ++i) {
        ::InvalidateRect(window.Handle(), nullptr, FALSE);
        ::UpdateWindow(window.Handle());
        CreateSharedFonts();
        ASSERT_NE(Fonts().arial32Bold, nullptr);
        ReleaseSharedFonts();
    }
    EXPECT_EQ(test::GdiObjectCount(), before);
    EXPECT_GE(window.paints, 100);
    EXPECT_EQ(Fonts().tahoma14, nullptr);
}

}  // namespace
}  // namespace ovek
