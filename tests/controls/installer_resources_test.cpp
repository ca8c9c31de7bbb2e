#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>

#include "controls/ImageCache.h"
#include "framework/Handles.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

struct Expected {
    unsigned firstId;
    int sizes[4][2];  // width, height of the 100, 125, 150 and 200 % variants
};

// Every picture family of the interface, by first resource id.
const Expected kFamilies[] = {
    {106, {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},  // close
    {110, {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},  // minimize
    {114, {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},  // maximize
    {118, {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},  // restore
    {129, {{161, 26}, {202, 33}, {242, 39}, {321, 52}}},  // logo
    {144, {{42, 14}, {54, 18}, {63, 21}, {84, 28}}},  // combo arrow: three square cells
    {153, {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},  // check box ticked
    {157, {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},  // check box empty
    {161, {{14, 8}, {18, 10}, {21, 12}, {28, 16}}},  // chevron up
    {165, {{14, 8}, {18, 10}, {21, 12}, {28, 16}}},  // chevron down
};

std::uint32_t BigEndian(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

class InstallerResources : public ::testing::Test {
protected:
    void SetUp() override {
        module_.reset(::LoadLibraryExW(test::BuildPath(L"OvekWebInstaller.exe").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module_) << "cannot open the installer, error " << ::GetLastError();
    }

    // The resource's bytes, or an empty span.
    std::pair<const std::uint8_t*, DWORD> Resource(unsigned id, const wchar_t* type) {
        HRSRC info = ::FindResourceW(module_.get(), MAKEINTRESOURCEW(id), type);
        if (!info) return {nullptr, 0};
        HGLOBAL data = ::LoadResource(module_.get(), info);
        return {static_cast<const std::uint8_t*>(data ? ::LockResource(data) : nullptr),
                ::SizeofResource(module_.get(), info)};
    }

    UniqueModule module_;
};

TEST_F(InstallerResources, EveryPictureIsAnRgbaPngOfItsSize) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Expected& family : kFamilies) {
        for (unsigned v = 0; v < 4; ++v) {
            const unsigned id = family.firstId + v;
            auto [bytes, size] = Resource(id, L"PNG");
            ASSERT_TRUE(bytes) << "no PNG resource " << id;
            ASSERT_GE(size, 33u) << id;
            EXPECT_EQ(std::memcmp(bytes, kSignature, 8), 0) << id;
            EXPECT_EQ(std::memcmp(bytes + 12, "IHDR", 4), 0) << id;
            EXPECT_EQ(BigEndian(bytes + 16), std::uint32_t(family.sizes[v][0])) << "width of " << id;
            EXPECT_EQ(BigEndian(bytes + 20), std::uint32_t(family.sizes[v][1])) << "height of " << id;
            EXPECT_EQ(bytes[24], 8) << "bit depth of " << id;
            EXPECT_EQ(bytes[25], 6) << "colour type of " << id << " (RGBA)";
        }
    }
}

// The test program's own 129 and 144 are the same files, so whichever
// module fills the cache first, the pictures agree.
TEST_F(InstallerResources, EveryPictureDecodesThroughTheCache) {
    for (const Expected& family : kFamilies) {
        for (unsigned v = 0; v < 4; ++v) {
            const unsigned id = family.firstId + v;
            auto picture = LoadResourcePicture(id, module_.get());
            ASSERT_TRUE(picture) << id;
            EXPECT_TRUE(picture->bitmap) << id;
            EXPECT_EQ(picture->width, family.sizes[v][0]) << id;
            EXPECT_EQ(picture->height, family.sizes[v][1]) << id;
        }
    }
}

// The caption draws the icon at 18 to 36 pixels, the panels at 64 to 128,
// the shell asks for 16, 32 and 48.
TEST_F(InstallerResources, IconHasEverySizeTheInterfaceDraws) {
    auto [bytes, size] = Resource(101, MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_TRUE(bytes) << "no icon group 101";
    ASSERT_GE(size, 6u);
    const unsigned count = bytes[4] | (bytes[5] << 8);
    ASSERT_EQ(size, 6 + 14 * count);
    std::set<int> sizes;
    for (unsigned i = 0; i < count; ++i) {
        const std::uint8_t* entry = bytes + 6 + 14 * i;
        const int width = entry[0] ? entry[0] : 256;
        EXPECT_EQ(entry[0], entry[1]) << "square entries";
        EXPECT_EQ(entry[6] | (entry[7] << 8), 32) << "32-bit entries";
        sizes.insert(width);
        const unsigned iconId = entry[12] | (entry[13] << 8);
        EXPECT_TRUE(Resource(iconId, MAKEINTRESOURCEW(3)).first) << "icon image " << iconId;  // RT_ICON
    }
    for (int wanted : {16, 18, 22, 27, 32, 36, 48, 64, 80, 96, 128})
        EXPECT_TRUE(sizes.count(wanted)) << "no " << wanted << " px icon";
}

}  // namespace
}  // namespace ovek
