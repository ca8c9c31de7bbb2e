#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "controls/ImageCache.h"
#include "support/GdiCount.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

// The test program's own resources (test_pictures.rc): 129 is the logo,
// 144 the combo arrow strip, 900 a "PNG" that does not decode.

std::wstring Slide() { return test::SourcePath(L"sample/language/1033/slides/100/slide1.jpg"); }

DIBSECTION Section(HBITMAP bitmap) {
    DIBSECTION section{};
    EXPECT_EQ(::GetObjectW(bitmap, sizeof(section), &section), int(sizeof(section)));
    return section;
}

TEST(ResourcePicture, SecondRequestIsServedFromTheCache) {
    const unsigned before = PictureResourceLookups();
    auto first = LoadResourcePicture(129);
    const unsigned afterFirst = PictureResourceLookups();
    auto second = LoadResourcePicture(129);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_LE(afterFirst - before, 1u);
    EXPECT_EQ(PictureResourceLookups(), afterFirst) << "the second request looked at the resources";
    EXPECT_TRUE(first->bitmap);
    EXPECT_EQ(first->width, 161);
    EXPECT_EQ(first->height, 26);
    EXPECT_EQ(first->frameCount, 1);
    EXPECT_EQ(first->horizontalStrip, 1);
}

TEST(ResourcePicture, MissingIdIsAskedForAgain) {
    const unsigned before = PictureResourceLookups();
    EXPECT_FALSE(LoadResourcePicture(4242));
    EXPECT_FALSE(LoadResourcePicture(4242));
    EXPECT_EQ(PictureResourceLookups(), before + 2);
}

TEST(ResourcePicture, UndecodableResourceIsKeptWithoutBitmap) {
    auto first = LoadResourcePicture(900);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->bitmap);
    EXPECT_EQ(first->width, 0);
    EXPECT_EQ(first->height, 0);
    const unsigned lookups = PictureResourceLookups();
    EXPECT_EQ(LoadResourcePicture(900).get(), first.get());
    EXPECT_EQ(PictureResourceLookups(), lookups);
}

// The strip's third cell is drawn in one colour (185,186,187) at many
// coverages: every pixel there must be exactly that colour premultiplied.
TEST(ResourcePicture, DecodedPixelsArePremultiplied) {
    auto strip = LoadResourcePicture(144);
    ASSERT_TRUE(strip && strip->bitmap);
    ASSERT_EQ(strip->width, 42);
    ASSERT_EQ(strip->height, 14);
    DIBSECTION section = Section(strip->bitmap.get());
    ASSERT_EQ(section.dsBm.bmBitsPixel, 32);
    ASSERT_EQ(section.dsBm.bmWidthBytes, 42 * 4);
    const auto* pixels = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    int opaque = 0, partial = 0;
    for (int i = 0; i < 42 * 14; ++i) {
        const std::uint8_t* p = pixels + 4 * i;
        const int a = p[3];
        ASSERT_TRUE(p[0] <= a && p[1] <= a && p[2] <= a) << "pixel " << i;
        if (i % 42 < 28 || a == 0) continue;
        EXPECT_EQ(p[0], 187 * a / 255) << "pixel " << i;
        EXPECT_EQ(p[1], 186 * a / 255) << "pixel " << i;
        EXPECT_EQ(p[2], 185 * a / 255) << "pixel " << i;
        if (a < 255) ++partial;
    }
    EXPECT_GT(partial, 0);

    // Opaque pixels keep their colour: the logo's two greys.
    auto logo = LoadResourcePicture(129);
    ASSERT_TRUE(logo && logo->bitmap);
    section = Section(logo->bitmap.get());
    pixels = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    for (int i = 0; i < logo->width * logo->height; ++i) {
        const std::uint8_t* p = pixels + 4 * i;
        if (p[3] != 255) continue;
        ++opaque;
        const bool light = p[0] == 0xC8 && p[1] == 0xC8 && p[2] == 0xC8;
        const bool dim = p[0] == 0xA1 && p[1] == 0x9D && p[2] == 0x9C;
        EXPECT_TRUE(light || dim) << "pixel " << i;
    }
    EXPECT_GT(opaque, 0);
}

TEST(PictureFile, JpegSlideDecodesTo24Bits) {
    auto slide = LoadPictureFile(Slide());
    ASSERT_TRUE(slide);
    ASSERT_TRUE(slide->bitmap);
    EXPECT_EQ(slide->width, 660);
    EXPECT_EQ(slide->height, 284);
    DIBSECTION section = Section(slide->bitmap.get());
    EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(section.dsBm.bmWidth, 660);
    EXPECT_EQ(section.dsBm.bmHeight, 284);
}

TEST(PictureFile, MissingFolderOrNonPictureGivesNothing) {
    const std::wstring cases[] = {
        test::SourcePath(L"sample/language/1033/slides/100/no-such-slide.jpg"),
        test::SourcePath(L"sample/language/1033/slides/100"),
        test::SourcePath(L"sample/language/1033/string.ini"),
        L"",
    };
    for (const std::wstring& path : cases) EXPECT_FALSE(LoadPictureFile(path)) << std::string(path.begin(), path.end());
}

TEST(PictureDecoder, StopsWhenTheLastFileDecodeEnds) {
    LoadResourcePicture(129);
    ShutdownPictureDecoder();
    EXPECT_FALSE(PictureDecoderRunning());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(LoadPictureFile(Slide()));  // starts it again, then stops it
        EXPECT_FALSE(PictureDecoderRunning());
    }
    EXPECT_FALSE(LoadPictureFile(test::SourcePath(L"sample/language/1033/string.ini")));
    EXPECT_FALSE(PictureDecoderRunning());
}

TEST(PictureFile, RepeatedLoadsLeakNoGdiObject) {
    LoadPictureFile(Slide());  // first use may create lasting objects of the system's own
    const long before = test::GdiObjectCount();
    for (int i = 0; i < 25; ++i) {
        auto slide = LoadPictureFile(Slide());
        ASSERT_TRUE(slide);
        HBITMAP raw = slide->bitmap.get();
        slide.reset();
        EXPECT_EQ(::GetObjectType(raw), 0u) << "the slide's bitmap outlived its owner";
        EXPECT_FALSE(LoadPictureFile(test::SourcePath(L"sample/language/1033/string.ini")));
    }
    EXPECT_EQ(test::GdiObjectCount(), before);
}

// With GDI+ started by the cache, a program ends both through the exit step
// and without it.
TEST(PictureDecoder, ProgramsEndCleanlyWithTheDecoderStarted) {
    for (const wchar_t* mode : {L"exit-step", L"no-exit-step"}) {
        auto code = test::RunProcess(L"\"" + test::BuildPath(L"picture_exit_helper.exe") + L"\" " + mode, 30000);
        ASSERT_TRUE(code.has_value()) << "did not end: " << std::string(mode, mode + wcslen(mode));
        EXPECT_EQ(*code, 0u) << std::string(mode, mode + wcslen(mode));
    }
}

}  // namespace
}  // namespace ovek
