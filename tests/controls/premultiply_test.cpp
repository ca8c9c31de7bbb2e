#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "controls/Premultiply.h"

namespace ovek {
namespace {

TEST(Premultiply, PixelTable) {
    struct Case {
        std::array<std::uint8_t, 4> in, out;  // blue, green, red, alpha
    };
    const Case cases[] = {
        {{200, 100, 50, 0}, {0, 0, 0, 0}},          // transparent turns black
        {{255, 255, 255, 0}, {0, 0, 0, 0}},
        {{200, 100, 50, 255}, {200, 100, 50, 255}},  // opaque keeps its colour
        {{255, 255, 255, 128}, {128, 128, 128, 128}},
        {{200, 101, 1, 128}, {100, 50, 0, 128}},     // truncated, not rounded
        {{187, 186, 185, 1}, {0, 0, 0, 1}},
        {{187, 186, 185, 254}, {186, 185, 184, 254}},
    };
    for (const Case& c : cases) {
        std::array<std::uint8_t, 4> pixel = c.in;
        PremultiplyBgra(pixel.data(), 1);
        EXPECT_EQ(pixel, c.out) << int(c.in[0]) << "," << int(c.in[1]) << "," << int(c.in[2]) << " alpha "
                                << int(c.in[3]);
    }
}

TEST(Premultiply, EveryPixelOfARow) {
    std::uint8_t row[] = {10, 20, 30, 0, 10, 20, 30, 255, 200, 200, 200, 51};
    PremultiplyBgra(row, 3);
    const std::uint8_t expected[] = {0, 0, 0, 0, 10, 20, 30, 255, 40, 40, 40, 51};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(row[i], expected[i]) << "byte " << i;
}

}  // namespace
}  // namespace ovek
