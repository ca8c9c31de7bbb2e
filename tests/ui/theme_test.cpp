#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ui/Theme.h"

namespace ovek {
namespace {

TEST(Theme, SharedFontsHaveTheirFacesHeightsAndWeights) {
    CreateSharedFonts();
    struct Case {
        HFONT font;
        const wchar_t* face;
        int height;
        int weight;
        bool underlined;
    } cases[] = {
        {Fonts().tahoma14, L"Tahoma", ScaleX(14), FW_NORMAL, false},
        {Fonts().tahoma14Underlined, L"Tahoma", ScaleX(14), FW_NORMAL, true},
        {Fonts().tahoma18, L"Tahoma", ScaleX(18), FW_NORMAL, false},
        {Fonts().arial32Bold, L"Arial", ScaleX(32), FW_BOLD, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        ASSERT_NE(c.font, nullptr);
        LOGFONTW lf{};
        ASSERT_EQ(::GetObjectW(c.font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
        EXPECT_STREQ(lf.lfFaceName, c.face);
        EXPECT_EQ(lf.lfHeight, c.height);  // positive: a cell height
        EXPECT_EQ(lf.lfWeight, c.weight);
        EXPECT_EQ(lf.lfUnderline != 0, c.underlined);
        EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(lf.lfOutPrecision, OUT_STROKE_PRECIS);
        EXPECT_EQ(lf.lfClipPrecision, CLIP_STROKE_PRECIS);
        EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
    }
    ReleaseSharedFonts();
    EXPECT_EQ(Fonts().tahoma18, nullptr);
}

TEST(Theme, ResolutionIsReadOnceFromTheScreen) {
    HDC screen = ::GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(Resolution().dpiX, ::GetDeviceCaps(screen, LOGPIXELSX));
    EXPECT_EQ(Resolution().dpiY, ::GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(&Resolution(), &Resolution());
}

}  // namespace
}  // namespace ovek
