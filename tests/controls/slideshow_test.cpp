// The slideshow: its timing table, and what it draws and sends as a real
// child window, on a clock the test turns.
#include <gtest/gtest.h>

#include <ostream>

#include "ControlTestWindows.h"
#include "controls/COvekSliderShowCtrl.h"
#include "controls/ImageCache.h"
#include "controls/SlideTiming.h"
#include "support/TestSupport.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

using Kind = SlideFrame::Kind;

}  // namespace

// Readable failures for the timing table.
void PrintTo(const SlideFrame& f, std::ostream* os) {
    static const char* kinds[] = {"Empty", "Still", "Transition"};
    *os << kinds[static_cast<int>(f.kind)] << " current " << f.current << " next " << f.next << " shift " << f.shift;
}

namespace {

using test::Near;
using test::At;
using test::PixelBuffer;
using test::PrintClient;

TEST(SlideTiming, WhichSlideAndHowFarAtEachMoment) {
    struct Case {
        const char* name;
        uint64_t ms;
        size_t count;
        SlideFrame expected;
    } cases[] = {
        {"no slides", 1234, 0, {Kind::Empty, 0, 0, 0}},
        {"start", 0, 3, {Kind::Still, 0, 0, 0}},
        {"middle of the display", 4000, 3, {Kind::Still, 0, 0, 0}},
        {"end of the display is still still", 7500, 3, {Kind::Still, 0, 0, 0}},
        {"a quarter into the transition", 7650, 3, {Kind::Transition, 0, 1, 165}},
        {"three quarters", 7950, 3, {Kind::Transition, 0, 1, 495}},
        {"next cycle", 8100, 3, {Kind::Still, 1, 0, 0}},
        {"second transition", 8100 + 7650, 3, {Kind::Transition, 1, 2, 165}},
        {"third slide", 2 * 8100 + 150, 3, {Kind::Still, 2, 0, 0}},
        {"last slide wraps to the first", 2 * 8100 + 7650, 3, {Kind::Transition, 2, 0, 165}},
        {"after wrapping", 24300 + 1000, 3, {Kind::Still, 0, 0, 0}},
        {"five slides repeat every 40.5 s", 40500 + 8100, 5, {Kind::Still, 1, 0, 0}},
        {"hours later", 3600000, 3, {Kind::Still, (3600000 / 8100) % 3, 0, 0}},
        {"one slide stays through the transition", 7800, 1, {Kind::Still, 0, 0, 0}},
        {"one slide, later cycles", 8100 * 7 + 7900, 1, {Kind::Still, 0, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(SlideFrameAt(c.ms, c.count, 660), c.expected) << c.name;
}

TEST(SlideTiming, OwnTimesAndDegenerateOnes) {
    const SlideTiming quick{1.0, 1.0};
    EXPECT_EQ(SlideFrameAt(1500, 2, 100, quick), (SlideFrame{Kind::Transition, 0, 1, 50}));
    EXPECT_EQ(SlideFrameAt(3500, 2, 100, quick), (SlideFrame{Kind::Transition, 1, 0, 50}));
    // No transition time: slides simply follow each other.
    EXPECT_EQ(SlideFrameAt(2500, 3, 100, SlideTiming{1.0, 0.0}), (SlideFrame{Kind::Still, 2, 0, 0}));
    // Nothing at all to wait for: the first slide, never a division by zero.
    EXPECT_EQ(SlideFrameAt(2500, 3, 100, SlideTiming{0.0, 0.0}), (SlideFrame{Kind::Still, 0, 0, 0}));
    EXPECT_EQ(SlideFrameAt(2500, 3, 100, SlideTiming{-1.0, -1.0}), (SlideFrame{Kind::Still, 0, 0, 0}));
}

TEST(SlideTiming, CentresAndCrops) {
    EXPECT_EQ(CentredStart(660, 600), 30);
    EXPECT_EQ(CentredStart(660, 660), 0);
    EXPECT_EQ(CentredStart(200, 240), -20);
}

// The clock the tests turn: milliseconds after the shared origin.
uint64_t g_now = 5'000'000;
uint64_t FakeClock() { return g_now; }

UniqueBitmap SolidSlide(int width, int height, Color color, Color edge = 0, int edgeX = 0, int edgeY = 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;  // what decoded JPEG slides are
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return bitmap;
    const int stride = (width * 3 + 3) & ~3;
    auto* row = static_cast<uint8_t*>(bits);
    for (int y = 0; y < height; ++y, row += stride)
        for (int x = 0; x < width; ++x) {
            const bool atEdge = x < edgeX || x >= width - edgeX || y < edgeY || y >= height - edgeY;
            const Color c = atEdge ? edge : color;
            row[x * 3] = BlueOf(c);
            row[x * 3 + 1] = GreenOf(c);
            row[x * 3 + 2] = RedOf(c);
        }
    return bitmap;
}

constexpr Color kRed = Rgb(220, 30, 30);
constexpr Color kBlue = Rgb(30, 30, 220);
constexpr Color kGreen = Rgb(30, 200, 30);

class SlideshowWindow : public ::testing::Test {
protected:
    void SetUp() override {
        COvekSliderShowCtrl::SetClock(&FakeClock);
        ASSERT_TRUE(parent.Create(260, 140, true));
        ASSERT_TRUE(show.Create(parent.Handle(), 170, RECT{0, 0, 200, 100}, WS_CHILD | WS_VISIBLE | WS_TABSTOP));
        show.SetBackground(Palette().WindowBackground);
    }
    void TearDown() override { COvekSliderShowCtrl::SetClock(nullptr); }
    // Turns the clock to `ms` after the origin, which the first paint with
    // slides in this process takes.
    void TurnClockTo(uint64_t ms) {
        if (!COvekSliderShowCtrl::TimeOrigin()) PrintClient(show.Handle());
        ASSERT_TRUE(COvekSliderShowCtrl::TimeOrigin());
        g_now = *COvekSliderShowCtrl::TimeOrigin() + ms;
    }
    void AppendRedAndBlue() {
        show.AppendSlide(100, 50, SolidSlide(100, 50, kRed));
        show.AppendSlide(100, 50, SolidSlide(100, 50, kBlue));
    }
    test::RecordingParent parent;
    COvekSliderShowCtrl show;
};

TEST_F(SlideshowWindow, WithoutSlidesShowsOnlyTheBackground) {
    const test::PixelBuffer c = PrintClient(show.Handle());
    ASSERT_EQ(c.Width(), 200);
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) ASSERT_EQ(At(c, x, y), Palette().WindowBackground) << x << "," << y;
}

TEST_F(SlideshowWindow, ShowsTheSlideCentredThenSlidesToTheNext) {
    AppendRedAndBlue();
    TurnClockTo(1000);
    test::PixelBuffer c = PrintClient(show.Handle());
    // Red 100 x 50 centred in 200 x 100: x 50..149, y 25..74.
    EXPECT_EQ(At(c, 50, 25), kRed);
    EXPECT_EQ(At(c, 149, 74), kRed);
    EXPECT_EQ(At(c, 49, 50), Palette().WindowBackground);
    EXPECT_EQ(At(c, 100, 24), Palette().WindowBackground);
    EXPECT_EQ(At(c, 150, 50), Palette().WindowBackground);

    // Half-way through the transition both have moved 100 pixels left (to
    // within the truncation): red leaves at the left, blue enters at the right.
    TurnClockTo(7800);
    EXPECT_EQ(show.CurrentFrame().kind, Kind::Transition);
    const int s = show.CurrentFrame().shift;
    EXPECT_NEAR(s, 100, 1);
    c = PrintClient(show.Handle());
    EXPECT_EQ(At(c, 25, 50), kRed);
    EXPECT_EQ(At(c, 100, 50), Palette().WindowBackground);
    EXPECT_EQ(At(c, 175, 50), kBlue);
    EXPECT_EQ(At(c, 175, 10), Palette().WindowBackground);

    TurnClockTo(8100 + 100);
    c = PrintClient(show.Handle());
    EXPECT_EQ(At(c, 100, 50), kBlue);
    // Blue's transition wraps around to red.
    TurnClockTo(2 * 8100 - 300);
    c = PrintClient(show.Handle());
    EXPECT_EQ(At(c, 25, 50), kBlue);
    EXPECT_EQ(At(c, 175, 50), kRed);
}

TEST_F(SlideshowWindow, SlideLargerThanTheControlIsCentredAndCropped) {
    // 240 x 120, blue inside a green border 20 pixels wide at the sides and
    // 10 at top and bottom: centred in 200 x 100 the border is cut off all
    // round, and all of the control shows blue.
    show.AppendSlide(240, 120, SolidSlide(240, 120, kBlue, kGreen, 20, 10));
    TurnClockTo(100);
    const test::PixelBuffer c = PrintClient(show.Handle());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) ASSERT_EQ(At(c, x, y), kBlue) << x << "," << y;
}

TEST_F(SlideshowWindow, OneSlideStaysVisibleThroughItsTransition) {
    show.AppendSlide(100, 50, SolidSlide(100, 50, kRed));
    for (uint64_t ms : {1000u, 7800u, 8050u, 8200u}) {
        TurnClockTo(ms);
        EXPECT_EQ(At(PrintClient(show.Handle()), 100, 50), kRed) << ms;
    }
}

TEST_F(SlideshowWindow, RebuildingTheListKeepsTheSharedTimeOrigin) {
    AppendRedAndBlue();
    TurnClockTo(8100 + 500);
    const uint64_t origin = *COvekSliderShowCtrl::TimeOrigin();
    show.ClearSlides();
    EXPECT_EQ(At(PrintClient(show.Handle()), 100, 50), Palette().WindowBackground);
    AppendRedAndBlue();
    EXPECT_EQ(At(PrintClient(show.Handle()), 100, 50), kBlue);
    EXPECT_EQ(*COvekSliderShowCtrl::TimeOrigin(), origin);
    // A second slideshow in the process is on the same slide.
    COvekSliderShowCtrl other;
    ASSERT_TRUE(other.Create(parent.Handle(), 171, RECT{0, 0, 200, 100}));
    other.AppendSlide(100, 50, SolidSlide(100, 50, kRed));
    other.AppendSlide(100, 50, SolidSlide(100, 50, kBlue));
    EXPECT_EQ(At(PrintClient(other.Handle()), 100, 50), kBlue);
}

TEST_F(SlideshowWindow, EveryPressReachesTheParentWhateverIsShowing) {
    const UINT clicked = COvekSliderShowCtrl::kSlideClicked;
    EXPECT_EQ(clicked, static_cast<UINT>(WM_USER + 250));
    ::SendMessageW(show.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // no slides yet
    AppendRedAndBlue();
    TurnClockTo(1000);
    ::SendMessageW(show.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 50));  // on the slide
    TurnClockTo(7800);
    ::SendMessageW(show.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(190, 95));  // mid-transition
    EXPECT_EQ(parent.received, (std::vector<UINT>(3, clicked)));

    // A real click through the platform's hit testing, at the screen.
    parent.received.clear();
    POINT at{100, 50};
    ::ClientToScreen(show.Handle(), &at);
    ASSERT_TRUE(::SetCursorPos(at.x, at.y));
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(::SendInput(2, input, sizeof(INPUT)), 2u);
    EXPECT_TRUE(test::WaitUntil([&] { return !parent.received.empty(); }, 5000));
    EXPECT_EQ(parent.received, (std::vector<UINT>{clicked}));
    for (const auto& [wp, lp] : parent.params) {
        EXPECT_EQ(wp, 0u);
        EXPECT_EQ(lp, 0);
    }
}

TEST_F(SlideshowWindow, FocusIsShownAndSpaceOpensTheLinkAsAClickDoes) {
    const test::PixelBuffer before = PrintClient(show.Handle());
    ::SetForegroundWindow(parent.Handle());
    ::SetFocus(show.Handle());
    ASSERT_EQ(::GetFocus(), show.Handle());
    const test::PixelBuffer focused = PrintClient(show.Handle());
    int changed = 0;
    for (int x = 0; x < focused.Width(); ++x) changed += At(focused, x, 2) != At(before, x, 2);
    EXPECT_GT(changed, 20);
    EXPECT_EQ(At(focused, 100, 50), At(before, 100, 50));
    ::SendMessageW(show.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    ::SendMessageW(show.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(parent.received, (std::vector<UINT>{COvekSliderShowCtrl::kSlideClicked}));
    ::SetFocus(parent.Handle());
    EXPECT_EQ(At(PrintClient(show.Handle()), 100, 2), At(before, 100, 2));
}

TEST_F(SlideshowWindow, HasTheHandCursorAndItsFrameTimerRepaintsTheScreen) {
    EXPECT_EQ(reinterpret_cast<HCURSOR>(::GetClassLongPtrW(show.Handle(), GCLP_HCURSOR)),
              ::LoadCursorW(nullptr, IDC_HAND));
    AppendRedAndBlue();
    TurnClockTo(1000);
    POINT centre{100, 50};
    ::ClientToScreen(show.Handle(), &centre);
    auto screenPixel = [&] {
        test::PumpMessages();
        CWindowDC screen(nullptr);
        return ::GetPixel(screen.get(), centre.x, centre.y);
    };
    // Nothing but the timer repaints after the clock is turned.
    EXPECT_TRUE(test::WaitUntil([&] { return screenPixel() == kRed; }, 5000));
    TurnClockTo(8100 + 1000);
    EXPECT_TRUE(test::WaitUntil([&] { return screenPixel() == kBlue; }, 2000));
}

TEST_F(SlideshowWindow, ThousandPaintsLeakNoGdiObject) {
    AppendRedAndBlue();
    TurnClockTo(7700);
    ::RedrawWindow(show.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const long before = test::GdiObjectCount();
    {
        // The count sees one more object: a leak would show.
        UniqueBrush probe(::CreateSolidBrush(RGB(1, 2, 3)));
        ASSERT_EQ(test::GdiObjectCount(), before + 1);
    }
    for (int i = 0; i < 1000; ++i) {
        g_now += 1;
        ::RedrawWindow(show.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_LE(test::GdiObjectCount(), before + 2);
}

// What a decoded slide holds in a 200 x 100 window starting at (x, y).
PixelBuffer SlideWindow(HBITMAP bitmap, int x, int y) {
    CWindowDC screen(nullptr);
    CMemorySurface reference(screen.get(), 200, 100);
    UniqueMemoryDC source(::CreateCompatibleDC(screen.get()));
    const HGDIOBJ old = ::SelectObject(source.get(), bitmap);
    ::BitBlt(reference.dc(), 0, 0, 200, 100, source.get(), x, y, SRCCOPY);
    ::SelectObject(source.get(), old);
    ::GdiFlush();
    PixelBuffer pixels(200, 100);
    std::copy(reference.pixels(), reference.pixels() + 200 * 100, pixels.Data());
    return pixels;
}

TEST_F(SlideshowWindow, DrawsTheSampleSlidesAsDecoded) {
    // 660 x 284 JPEG slides in a control 200 x 100: each starts at
    // (-230, -92), and in mid-transition the incoming one, already covering
    // the control, has come 30 + shift pixels further.
    const int shift = SlideFrameAt(7800, 2, 200).shift;
    std::vector<PixelBuffer> expected;
    for (const wchar_t* name : {L"slide1.jpg", L"slide2.jpg"}) {
        auto slide = LoadPictureFile(test::SourcePath(std::wstring(L"sample\\language\\1033\\slides\\100\\") + name));
        ASSERT_TRUE(slide);
        ASSERT_EQ(slide->width, 660);
        expected.push_back(SlideWindow(slide->bitmap.get(), 230, 92));
        if (expected.size() == 2) expected.push_back(SlideWindow(slide->bitmap.get(), 30 + shift, 92));
        show.AppendSlide(slide->width, slide->height, std::move(slide->bitmap));
    }
    ASSERT_EQ(show.SlideCount(), 2u);
    for (auto [ms, index] : {std::pair{100ull, 0}, {8100ull + 100, 1}, {7800ull, 2}}) {
        TurnClockTo(ms);
        const PixelBuffer c = PrintClient(show.Handle());
        for (int y = 0; y < 100; y += 7)
            for (int x = 0; x < 200; x += 7) ASSERT_EQ(c.At(x, y), expected[index].At(x, y)) << ms << ": " << x << "," << y;
    }
}

}  // namespace
}  // namespace ovek
