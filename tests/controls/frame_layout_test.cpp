// The frame's arithmetic: client insets, caption-button places, hit test and
// what a release asks for, at 96 and 144 dpi.
#include <gtest/gtest.h>

#include <array>

#include "controls/FrameLayout.h"

namespace ovek {
namespace {

using Buttons = std::array<CaptionButtonState, kCaptionButtonCount>;

// Buttons as the frame builds them: 30 x 30 cells at the origin (none for
// Maximize and Restore without a maximize box), pictures centred.
Buttons MakeButtons(const FrameMetrics& m, bool maximizeBox, int picture) {
    Buttons b{};
    for (int kind = 0; kind < kCaptionButtonCount; ++kind) {
        b[kind].kind = kind;
        b[kind].visible = kind == kCaptionRestore ? 0 : 1;
        const bool present = maximizeBox || kind == kCaptionClose || kind == kCaptionMinimize;
        b[kind].cell = CaptionCellAtOrigin(m, present);
        b[kind].pictureRect = CentredPictureRect(b[kind].cell, picture, picture);
    }
    return b;
}

TEST(FrameLayout, MetricsFollowTheResolutionSteps) {
    const FrameMetrics at96 = FrameMetrics::ForResolution(96, 96);
    EXPECT_EQ(at96.captionHeight, 28);
    EXPECT_EQ(at96.cellWidth, 30);
    const FrameMetrics at144 = FrameMetrics::ForResolution(144, 144);
    EXPECT_EQ(at144.pixelX, 1);  // 1.5 truncated
    EXPECT_EQ(at144.pixelY, 1);
    EXPECT_EQ(at144.captionHeight, 42);
    EXPECT_EQ(at144.cellWidth, 45);
    EXPECT_EQ(at144.cellHeight, 45);
    EXPECT_EQ(FrameMetrics::ForResolution(192, 192).pixelX, 2);
}

TEST(FrameLayout, ClientLeavesCaptionAndBorders) {
    const FrameMetrics m = FrameMetrics::ForResolution(96, 96);
    EXPECT_EQ(ClientBoxOf({100, 50, 762, 496}, false, m), (FrameBox{101, 79, 761, 495}));
    // Maximized: the eight pixels the platform pushes off the screen go too.
    EXPECT_EQ(ClientBoxOf({-8, -8, 1288, 1000}, true, m), (FrameBox{0, 29, 1280, 992}));
    const FrameMetrics m144 = FrameMetrics::ForResolution(144, 144);
    EXPECT_EQ(ClientBoxOf({0, 0, 993, 669}, false, m144), (FrameBox{1, 43, 992, 668}));
    // Smaller than its frame: an empty client, not an inverted one.
    const FrameBox tiny = ClientBoxOf({0, 0, 1, 10}, false, m);
    EXPECT_TRUE(tiny.Empty());
    EXPECT_GE(tiny.Width(), 0);
    EXPECT_GE(tiny.Height(), 0);
}

TEST(FrameLayout, ButtonsSitTopRightFromCloseLeftwards) {
    struct Case {
        int dpi;
        bool maximizeBox;
        FrameBox close, maximize, minimize;
        FrameBox closePicture;
    };
    const Case cases[] = {
        // The wizard at 96 dpi: Close spans x = width - 31 to width - 1, y = 1 to 31;
        // Minimize directly left of it.
        {96, false, {631, 1, 661, 31}, {}, {601, 1, 631, 31}, {638, 8, 654, 24}},
        {96, true, {631, 1, 661, 31}, {601, 1, 631, 31}, {571, 1, 601, 31}, {638, 8, 654, 24}},
        // 144 dpi: 45 x 45 cells, a 24-pixel picture 10 pixels in.
        {144, false, {616, 1, 661, 46}, {}, {571, 1, 616, 46}, {626, 11, 650, 35}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dpi << " dpi, maximize box " << c.maximizeBox);
        const FrameMetrics m = FrameMetrics::ForResolution(c.dpi, c.dpi);
        Buttons b = MakeButtons(m, c.maximizeBox, c.dpi == 96 ? 16 : 24);
        LayoutCaptionButtons(b, {0, 0, 662, 446}, {}, m);
        EXPECT_EQ(b[kCaptionClose].cell, c.close);
        EXPECT_EQ(b[kCaptionClose].pictureRect, c.closePicture);
        EXPECT_EQ(b[kCaptionMinimize].cell, c.minimize);
        if (c.maximizeBox) {
            EXPECT_EQ(b[kCaptionMaximize].cell, c.maximize);
            EXPECT_EQ(b[kCaptionRestore].cell, c.maximize);
        } else {
            EXPECT_TRUE(b[kCaptionMaximize].cell.Empty());
            EXPECT_TRUE(b[kCaptionMaximize].pictureRect.Empty());
        }
        // A second layout (every size change) starts from where the first left them.
        LayoutCaptionButtons(b, {0, 0, 500, 300}, {}, m);
        EXPECT_EQ(b[kCaptionClose].cell.right, 499);
        EXPECT_EQ(b[kCaptionMinimize].cell.right, 499 - m.cellWidth - (c.maximizeBox ? m.cellWidth : 0));
    }
}

TEST(FrameLayout, MaximizedButtonsStayOnTheScreen) {
    const FrameMetrics m = FrameMetrics::ForResolution(96, 96);
    const FrameBox window{-8, -8, 1288, 1000};
    const Overhang o = MaximizedOverhang(window, {0, 0, 1280, 992}, true);
    EXPECT_EQ(o.x, 8);
    EXPECT_EQ(o.y, 8);
    EXPECT_EQ(MaximizedOverhang(window, {0, 0, 1280, 992}, false).x, 0);
    EXPECT_EQ(MaximizedOverhang({10, 10, 500, 500}, {0, 0, 1280, 992}, true).x, 0);
    Buttons b = MakeButtons(m, true, 16);
    LayoutCaptionButtons(b, {0, 0, window.Width(), window.Height()}, o, m);
    // Window coordinates: the screen's right edge is at 1288 (1280 + 8).
    EXPECT_EQ(b[kCaptionClose].cell, (FrameBox{1257, 9, 1287, 39}));
}

TEST(FrameLayout, HitTestSkipsHiddenAndDisabledButtons) {
    const FrameMetrics m = FrameMetrics::ForResolution(96, 96);
    Buttons b = MakeButtons(m, true, 16);
    LayoutCaptionButtons(b, {0, 0, 662, 446}, {}, m);
    EXPECT_EQ(HitTestCaptionButtons(b, 631, 1), kCaptionClose);
    EXPECT_EQ(HitTestCaptionButtons(b, 660, 30), kCaptionClose);
    EXPECT_EQ(HitTestCaptionButtons(b, 661, 10), -1);  // right edge is outside
    EXPECT_EQ(HitTestCaptionButtons(b, 640, 31), -1);
    EXPECT_EQ(HitTestCaptionButtons(b, 620, 10), kCaptionMaximize);  // before Restore in list order
    EXPECT_EQ(HitTestCaptionButtons(b, 580, 10), kCaptionMinimize);
    EXPECT_EQ(HitTestCaptionButtons(b, 300, 10), -1);
    b[kCaptionMaximize].visible = 0;
    b[kCaptionRestore].visible = 1;
    EXPECT_EQ(HitTestCaptionButtons(b, 620, 10), kCaptionRestore);
    b[kCaptionClose].disabled = 1;
    EXPECT_EQ(HitTestCaptionButtons(b, 640, 10), -1);
}

TEST(FrameLayout, StatesAndFills) {
    CaptionButtonState b;
    EXPECT_EQ(CaptionFillOf(b), CaptionFill::Normal);
    b.hover = 1;
    EXPECT_EQ(CaptionFillOf(b), CaptionFill::Hover);
    b.pressed = 1;
    EXPECT_EQ(CaptionFillOf(b), CaptionFill::Pressed);
    b.disabled = 1;
    EXPECT_EQ(CaptionFillOf(b), CaptionFill::Normal);

    Buttons all = MakeButtons(FrameMetrics{}, false, 16);
    all[kCaptionMinimize].hot = all[kCaptionMinimize].hover = 1;
    all[kCaptionRestore].hot = 1;  // hidden: not the hot one, and keeps the mark
    EXPECT_EQ(HotCaptionButton(all), kCaptionMinimize);
    ClearCaptionStates(all);
    EXPECT_EQ(HotCaptionButton(all), -1);
    EXPECT_EQ(all[kCaptionMinimize].hover, 0);
    EXPECT_EQ(all[kCaptionRestore].hot, 1);
}

TEST(FrameLayout, ReleaseAndDoubleClickCommands) {
    // Only a release on the button that is still hot does something.
    EXPECT_EQ(ReleaseCommand(kCaptionClose, kCaptionClose, false), FrameCommand::Close);
    EXPECT_EQ(ReleaseCommand(kCaptionMinimize, kCaptionMinimize, false), FrameCommand::Minimize);
    EXPECT_EQ(ReleaseCommand(-1, kCaptionClose, false), FrameCommand::None);
    EXPECT_EQ(ReleaseCommand(kCaptionClose, -1, false), FrameCommand::None);
    EXPECT_EQ(ReleaseCommand(kCaptionClose, kCaptionMinimize, false), FrameCommand::None);
    EXPECT_EQ(ReleaseCommand(kCaptionMaximize, kCaptionMaximize, false), FrameCommand::None);
    EXPECT_EQ(ReleaseCommand(kCaptionMaximize, kCaptionMaximize, true), FrameCommand::Maximize);
    EXPECT_EQ(ReleaseCommand(kCaptionRestore, kCaptionRestore, true), FrameCommand::Restore);

    EXPECT_EQ(DoubleClickCommand(false, false, false), FrameCommand::None);  // the wizard
    EXPECT_EQ(DoubleClickCommand(true, true, false), FrameCommand::None);
    EXPECT_EQ(DoubleClickCommand(false, true, false), FrameCommand::Maximize);
    EXPECT_EQ(DoubleClickCommand(false, true, true), FrameCommand::Restore);
}

TEST(FrameLayout, TitleFollowsTheIcon) {
    const FrameMetrics m = FrameMetrics::ForResolution(96, 96);
    const CaptionTitleLayout withIcon = LayoutCaptionTitle(662, true, 17, m);
    EXPECT_EQ(withIcon.caption, (FrameBox{1, 1, 661, 29}));
    EXPECT_EQ(withIcon.icon, (FrameBox{5, 6, 23, 24}));
    EXPECT_EQ(withIcon.text, (FrameBox{28, 6, 661, 23}));
    const CaptionTitleLayout plain = LayoutCaptionTitle(662, false, 17, m);
    EXPECT_TRUE(plain.icon.Empty());
    EXPECT_EQ(plain.text.left, 6);
    const CaptionTitleLayout at144 = LayoutCaptionTitle(993, true, 25, FrameMetrics::ForResolution(144, 144));
    EXPECT_EQ(at144.icon, (FrameBox{5, 8, 32, 35}));
    EXPECT_EQ(at144.text.left, 37);
    EXPECT_EQ(at144.text.top, 9);
}

TEST(FrameLayout, StripPicturesUseTheirFirstFrame) {
    int w = 0, h = 0;
    FirstFrameSize(42, 14, 3, true, w, h);
    EXPECT_EQ(w, 14);
    EXPECT_EQ(h, 14);
    FirstFrameSize(14, 42, 3, false, w, h);
    EXPECT_EQ(w, 14);
    EXPECT_EQ(h, 14);
    FirstFrameSize(16, 16, 0, true, w, h);  // a broken frame count divides by one
    EXPECT_EQ(w, 16);
}

}  // namespace
}  // namespace ovek
