// The language box's arithmetic, by table.
#include <gtest/gtest.h>

#include "controls/ComboGeometry.h"

namespace ovek::combo {
namespace {

TEST(ComboGeometry, ArrowAreaAndTextCutFollowTheResolution) {
    struct Case {
        int dpi, clientWidth, cellWidth;
        Box arrow;
        Span text;
        int arrowLeft, buttonWidth;
    };
    // 96: cell 14, pad 4; 144: cell 21, pad 6, one unstepped pixel is 1.
    const Case cases[] = {
        {96, 200, 14, {200 - 14 - 8, 0, 200 - 14 - 8 + 14 + 4, 24}, {4, 200 + 1 - 8 - 14}, 200 - 14 - 5, 24},
        {120, 250, 18, {250 - 18 - 10, 0, 250 - 18 - 10 + 18 + 5, 24}, {5, 250 + 1 - 10 - 18}, 250 - 18 - 6, 30},
        {144, 300, 21, {300 - 21 - 12, 0, 300 - 21 - 12 + 21 + 6, 24}, {6, 300 + 1 - 12 - 21}, 300 - 21 - 7, 36},
        {192, 400, 28, {400 - 28 - 16, 0, 400 - 28 - 16 + 28 + 8, 24}, {8, 400 + 2 - 16 - 28}, 400 - 28 - 10, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(ArrowArea(c.clientWidth, 24, c.cellWidth, c.dpi), c.arrow);
        EXPECT_EQ(FaceTextSpan(c.clientWidth, c.cellWidth, c.dpi, false), c.text);
        EXPECT_EQ(ArrowCellLeft(c.clientWidth, c.cellWidth, c.dpi), c.arrowLeft);
        EXPECT_EQ(DropButtonWidth(c.cellWidth, c.dpi), c.buttonWidth);
    }
    // The text is cut before the arrow cell starts, and after an icon column
    // it starts at 24 design pixels.
    EXPECT_LT(FaceTextSpan(200, 14, 96, false).right, ArrowCellLeft(200, 14, 96));
    EXPECT_EQ(FaceTextSpan(200, 14, 144, true).left, 36);
    // A picture wider than the design button widens the button.
    EXPECT_EQ(DropButtonWidth(30, 96), 30);
}

TEST(ComboGeometry, ArrowCellsAndListHeight) {
    EXPECT_EQ(ArrowCell(true), 1);
    EXPECT_EQ(ArrowCell(false), 2);
    EXPECT_EQ(DropListHeight(96), 7 * 22);
    EXPECT_EQ(DropListHeight(144), 7 * 33);
    EXPECT_EQ(DropListHeight(120), 7 * 27);  // truncate(120 * 22 / 96) = 27
}

TEST(ComboGeometry, DropWidthFromTheWidestName) {
    struct Case {
        const char* what;
        DropWidthInput in;
        int dpi;
        int expected;
    };
    // edge 2, average character 6, scroll bar 17, small icon 16.
    const Case cases[] = {
        {"narrow names keep the box width", {50, 5, 17, 2, 6, 200, 16, false, false}, 96, 200},
        {"a wide name widens the list", {250, 5, 17, 2, 6, 200, 16, false, false}, 96, 250 + 4 + 12},
        {"30 items: no scroll bar yet", {250, 30, 17, 2, 6, 200, 16, false, false}, 96, 266},
        {"31 items: room for the scroll bar", {250, 31, 17, 2, 6, 200, 16, false, false}, 96, 266 + 17},
        {"scroll bar alone can widen it", {190, 40, 17, 2, 6, 200, 16, false, false}, 96, 190 + 17 + 16},
        {"icons add the small-icon width", {250, 5, 17, 2, 6, 200, 16, true, false}, 96, 266 + 16},
        {"margins follow the resolution", {250, 5, 17, 2, 6, 200, 16, false, false}, 144, 250 + 6 + 18},
        {"preview adds its columns", {50, 5, 17, 2, 6, 200, 16, false, true}, 96, 200 + 150 + 30},
        {"empty box", {0, 0, 17, 2, 6, 120, 16, false, false}, 96, 120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DropWidth(c.in, c.dpi), c.expected);
    }
}

TEST(ComboGeometry, ListMovesLeftOnlyWhenItCrossesTheMonitorEdge) {
    struct Case {
        const char* what;
        int controlLeft, listLeft, listWidth, monitorLeft, monitorRight;
        int expected;
    };
    const Case cases[] = {
        {"fits", 100, 100, 300, 0, 1024, 100},
        {"ends exactly at the edge", 724, 724, 300, 0, 1024, 724},
        {"crosses the edge", 900, 900, 300, 0, 1024, 724},
        {"second monitor", 1900, 1900, 300, 1024, 2048, 1748},
        {"box starts off this monitor", 1030, 1030, 300, 0, 1024, 1030},
        {"box left of this monitor", -20, -20, 300, 0, 1024, -20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(KeepListOnMonitor(c.controlLeft, c.listLeft, c.listWidth, c.monitorLeft, c.monitorRight), c.expected);
    }
}

TEST(ComboGeometry, KeysMoveTheSelectionWithinTheList) {
    using K = SelectionKey;
    struct Case {
        int current, count;
        K key;
        int expected;
    };
    const Case cases[] = {
        {2, 5, K::Down, 3}, {4, 5, K::Down, 4}, {2, 5, K::Up, 1},    {0, 5, K::Up, 0},
        {-1, 5, K::Down, 0}, {-1, 5, K::Up, 0}, {3, 5, K::Home, 0},  {1, 5, K::End, 4},
        {0, 20, K::PageDown, 6}, {18, 20, K::PageDown, 19}, {10, 20, K::PageUp, 4}, {2, 20, K::PageUp, 0},
        {-1, 0, K::Down, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.current << " of " << c.count << " key " << static_cast<int>(c.key));
        EXPECT_EQ(NextSelection(c.current, c.count, c.key, kVisibleRows), c.expected);
    }
}

}  // namespace
}  // namespace ovek::combo
