// The progress bar: its arithmetic, and what it draws as a real child window.
#include <gtest/gtest.h>

#include "ControlTestWindows.h"
#include "controls/COvekProgress.h"
#include "controls/ProgressGeometry.h"
#include "support/TestSupport.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

using test::Near;
using test::At;
using test::PrintClient;

TEST(ProgressShape, CentresTheBarAndCutsTheFillAtItsShare) {
    struct Case {
        const char* name;
        int position, range;
        bool hasFill;
        float fillRight;
    } cases[] = {
        {"empty", 0, 1000, false, 0},
        {"negative position", -5, 1000, false, 0},
        {"half", 500, 1000, true, 10 + 90},
        {"full", 1000, 1000, true, 190},
        {"beyond the range stays in the track", 2500, 1000, true, 190},
        {"no range draws no fill", 10, 0, false, 0},
        {"negative range", 10, -100, false, 0},
    };
    for (const Case& c : cases) {
        const ProgressShape s = ComputeProgressShape(200, 20, 180, 8, c.position, c.range, 3.0f, 3.0f);
        EXPECT_FLOAT_EQ(s.left, 10) << c.name;
        EXPECT_FLOAT_EQ(s.top, 6) << c.name;
        EXPECT_FLOAT_EQ(s.right, 190) << c.name;
        EXPECT_FLOAT_EQ(s.bottom, 14) << c.name;
        EXPECT_EQ(s.hasFill, c.hasFill) << c.name;
        if (c.hasFill) {
            EXPECT_FLOAT_EQ(s.fillRight, c.fillRight) << c.name;
        }
    }
}

TEST(ProgressShape, VerticalRadiusNeverExceedsHalfTheWidth) {
    EXPECT_FLOAT_EQ(ComputeProgressShape(20, 20, 4, 8, 1, 1, 3.0f, 3.0f).radiusY, 2.0f);
    EXPECT_FLOAT_EQ(ComputeProgressShape(20, 20, 100, 8, 1, 1, 4.5f, 4.5f).radiusY, 4.5f);
    // Odd leftover space centres on half pixels, as the anti-aliased track does.
    EXPECT_FLOAT_EQ(ComputeProgressShape(201, 21, 180, 8, 0, 1, 3, 3).left, 10.5f);
}

class ProgressWindow : public ::testing::Test {
protected:
    void SetUp() override {
        CreateSharedFonts();
        ASSERT_TRUE(parent.Create(240, 60, true));
    }
    template <typename Bar = COvekProgress>
    void Make(Bar& bar) {
        ASSERT_TRUE(bar.Create(parent.Handle(), 105, RECT{10, 10, 210, 30}, WS_CHILD | WS_VISIBLE));
        bar.SetRange(1000);
        bar.SetBarRect(RECT{0, 0, 180, 8});
    }
    test::RecordingParent parent;
};

// Bar 180 x 8 centred in 200 x 20: the track spans x 10..190, y 6..14.
TEST_F(ProgressWindow, DrawsTrackOnlyAtZeroAndTheWholeRoundedTrackWhenFull) {
    COvekProgress bar;
    Make(bar);
    const ThemePalette& p = Palette();

    bar.SetPos(0);
    test::PixelBuffer c = PrintClient(bar.Handle());
    ASSERT_EQ(c.Width(), 200);
    EXPECT_TRUE(Near(At(c, 5, 10), p.WindowBackground));
    EXPECT_TRUE(Near(At(c, 100, 3), p.WindowBackground));
    for (int x : {12, 100, 187}) EXPECT_TRUE(Near(At(c, x, 10), p.ProgressTrack)) << x;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) ASSERT_FALSE(Near(At(c, x, y), p.ProgressFill, 40)) << x << "," << y;

    bar.SetPos(1000);
    c = PrintClient(bar.Handle());
    for (int x : {11, 100, 188}) EXPECT_TRUE(Near(At(c, x, 10), p.ProgressFill)) << x;
    // Rounded ends: the outermost corner pixels are mostly background.
    for (auto [x, y] : {std::pair{10, 6}, {189, 6}, {10, 13}, {189, 13}})
        EXPECT_FALSE(Near(At(c, x, y), p.ProgressFill, 40)) << x << "," << y;
    EXPECT_TRUE(Near(At(c, 195, 10), p.WindowBackground));
}

TEST_F(ProgressWindow, FillKeepsItsRoundedLeftEndAndAStraightRightEdge) {
    COvekProgress bar;
    Make(bar);
    const ThemePalette& p = Palette();
    bar.SetPos(500);  // fill to x = 100
    test::PixelBuffer c = PrintClient(bar.Handle());
    EXPECT_FALSE(Near(At(c, 10, 6), p.ProgressFill, 40));  // rounded start
    for (int y = 6; y < 14; ++y) {
        EXPECT_TRUE(Near(At(c, 99, y), p.ProgressFill)) << y;   // straight edge, full height
        EXPECT_TRUE(Near(At(c, 100, y), p.ProgressTrack)) << y;
    }
    EXPECT_TRUE(Near(At(c, 150, 10), p.ProgressTrack));

    // Beyond the range the fill stops at the track's end, and a range of
    // zero (a careless owner) draws the track only.
    bar.SetPos(5000);
    c = PrintClient(bar.Handle());
    EXPECT_TRUE(Near(At(c, 188, 10), p.ProgressFill));
    EXPECT_TRUE(Near(At(c, 193, 10), p.WindowBackground));
    bar.SetRange(0);
    c = PrintClient(bar.Handle());
    EXPECT_TRUE(Near(At(c, 100, 10), p.ProgressTrack));
}

TEST_F(ProgressWindow, ColoursAndWindowTextFollowTheOwner) {
    COvekProgress bar;
    Make(bar);
    bar.SetColors(Rgb(10, 20, 30), Rgb(200, 0, 0), Rgb(0, 200, 0));
    bar.SetPos(250);
    const test::PixelBuffer c = PrintClient(bar.Handle());
    EXPECT_TRUE(Near(At(c, 2, 2), Rgb(10, 20, 30)));
    EXPECT_TRUE(Near(At(c, 30, 10), Rgb(0, 200, 0)));
    EXPECT_TRUE(Near(At(c, 150, 10), Rgb(200, 0, 0)));
    wchar_t text[16]{};
    ::GetWindowTextW(bar.Handle(), text, 16);
    EXPECT_STREQ(text, L"25%");
}

// Ends every frame as a lost device would: the next paint must make new
// drawing objects and draw properly with them.
class LosingDeviceProgress : public COvekProgress {
public:
    int framesToLose = 1;

protected:
    HRESULT FinishDrawing(ID2D1RenderTarget* target) override {
        const HRESULT hr = COvekProgress::FinishDrawing(target);
        if (framesToLose > 0) {
            --framesToLose;
            return D2DERR_RECREATE_TARGET;
        }
        return hr;
    }
};

TEST_F(ProgressWindow, RecreatesItsRenderTargetAtTheNextPaintWhenAsked) {
    LosingDeviceProgress bar;
    Make(bar);
    bar.SetPos(1000);
    PrintClient(bar.Handle());
    EXPECT_EQ(bar.DrawingObjectsCreated(), 1);
    EXPECT_FALSE(bar.HasDrawingObjects());
    const test::PixelBuffer c = PrintClient(bar.Handle());
    EXPECT_EQ(bar.DrawingObjectsCreated(), 2);
    EXPECT_TRUE(bar.HasDrawingObjects());
    EXPECT_TRUE(Near(At(c, 100, 10), Palette().ProgressFill));
    PrintClient(bar.Handle());
    EXPECT_EQ(bar.DrawingObjectsCreated(), 2);
}

class NoDirect2DProgress : public COvekProgress {
protected:
    ComPtr<ID2D1Factory> MakeFactory() override { return {}; }
};

TEST_F(ProgressWindow, WithoutDirect2DShowsOnlyItsBackground) {
    NoDirect2DProgress bar;
    Make(bar);
    bar.SetPos(600);
    for (int i = 0; i < 3; ++i) {
        const test::PixelBuffer c = PrintClient(bar.Handle());
        EXPECT_TRUE(Near(At(c, 50, 10), Palette().WindowBackground));
        EXPECT_TRUE(Near(At(c, 150, 10), Palette().WindowBackground));
    }
    EXPECT_FALSE(bar.HasDrawingObjects());
    EXPECT_EQ(bar.DrawingObjectsCreated(), 0);
}

TEST_F(ProgressWindow, ThousandPaintsLeakNoGdiObjectAndKeepOneRenderTarget) {
    COvekProgress bar;
    Make(bar);
    bar.SetPos(1);
    ::RedrawWindow(bar.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const long before = test::GdiObjectCount();
    {
        // The count sees one more object: a leak would show.
        UniqueBrush probe(::CreateSolidBrush(RGB(1, 2, 3)));
        ASSERT_EQ(test::GdiObjectCount(), before + 1);
    }
    for (int i = 0; i < 1000; ++i) {
        bar.SetPos(i);
        ::RedrawWindow(bar.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_LE(test::GdiObjectCount(), before + 2);
    EXPECT_EQ(bar.DrawingObjectsCreated(), 1);
}

// Radius, bar height and slideshow geometry follow the resolution, which a
// process reads once: a helper checks them in a process of its own.
TEST(ProgressAndSlideshowAtResolution, HoldAt96And144Dpi) {
    for (DWORD dpi : {96u, 144u}) {
        const test::ProcessResult r = test::RunAtDpi(
            dpi, L"\"" + test::BuildPath(L"progress_dpi_helper.exe") + L"\" " + std::to_wstring(dpi), 60000);
        ASSERT_TRUE(r.exitCode) << dpi;
        EXPECT_EQ(*r.exitCode, 0u) << dpi << "\n" << r.output;
        EXPECT_NE(r.output.find("dpi " + std::to_string(dpi) + " " + std::to_string(dpi)), std::string::npos)
            << r.output;
    }
}

}  // namespace
}  // namespace ovek
