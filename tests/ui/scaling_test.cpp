#include <gtest/gtest.h>

#include "ui/Palette.h"
#include "ui/Scaling.h"

namespace ovek {
namespace {

struct DpiCase {
    int dpi;
    double factor;
    int snapped;
    int variant;
    int scale30, scale284, scaleMinus1, unstepped14;
};

TEST(Scaling, FollowsTheResolutionInSteps) {
    const DpiCase cases[] = {
        {96, 1.0, 96, 0, 30, 284, -1, 14},
        {110, 1.0, 110, 0, 30, 284, -1, 16},   // no step yet, first pictures
        {120, 1.25, 120, 1, 37, 355, -1, 17},
        {143, 1.25, 120, 1, 37, 355, -1, 20},
        {144, 1.5, 144, 2, 45, 426, -1, 21},
        {168, 1.5, 144, 2, 45, 426, -1, 24},   // third pictures, 24 pixels
        {191, 1.5, 144, 2, 45, 426, -1, 27},
        {192, 2.0, 192, 3, 60, 568, -2, 28},
        {288, 2.0, 192, 3, 60, 568, -2, 42},
    };
    for (const DpiCase& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_DOUBLE_EQ(StepFactor(c.dpi), c.factor);
        EXPECT_EQ(SnappedResolution(c.dpi), c.snapped);
        EXPECT_EQ(PictureVariant(SnappedResolution(c.dpi)), c.variant);
        EXPECT_EQ(ScaleBy(c.dpi, 30), c.scale30);
        EXPECT_EQ(ScaleBy(c.dpi, 284), c.scale284);
        EXPECT_EQ(ScaleBy(c.dpi, -1), c.scaleMinus1);
        EXPECT_EQ(Unstepped(c.dpi, 14), c.unstepped14);
        EXPECT_EQ(PictureResourceId(Picture::Logo, SnappedResolution(c.dpi)), 129u + c.variant);
    }
}

TEST(Scaling, EveryValueEqualsItsArgumentAt96AndDoublesAt192) {
    for (int n : {0, 1, 7, 28, 446, 660, -3}) {
        EXPECT_EQ(ScaleBy(96, n), n);
        EXPECT_EQ(ScaleBy(192, n), 2 * n);
    }
}

TEST(Scaling, PictureFamiliesHaveFourConsecutiveIds) {
    const std::pair<Picture, uint32_t> families[] = {
        {Picture::Close, 106},       {Picture::Minimize, 110},    {Picture::Maximize, 114},
        {Picture::Restore, 118},     {Picture::Logo, 129},        {Picture::ComboArrow, 144},
        {Picture::CheckTicked, 153}, {Picture::CheckEmpty, 157},  {Picture::ChevronUp, 161},
        {Picture::ChevronDown, 165},
    };
    for (auto [family, first] : families) {
        EXPECT_EQ(PictureResourceId(family, 96), first);
        EXPECT_EQ(PictureResourceId(family, 120), first + 1);
        EXPECT_EQ(PictureResourceId(family, 144), first + 2);
        EXPECT_EQ(PictureResourceId(family, 192), first + 3);
    }
}

TEST(Palette, ColoursHaveTheGdiLayout) {
    EXPECT_EQ(kDarkPalette.WindowBackground, 0x1E1918u);  // 24,25,30
    EXPECT_EQ(kDarkPalette.ProgressFill, 0xD8A507u);      // 7,165,216
    EXPECT_EQ(RedOf(kDarkPalette.CloseHover), 181);
    EXPECT_EQ(GreenOf(kDarkPalette.CloseHover), 39);
    EXPECT_EQ(BlueOf(kDarkPalette.CloseHover), 36);
    EXPECT_EQ(Palette().ButtonTextDisabled, Rgb(240, 240, 240));
}

}  // namespace
}  // namespace ovek
