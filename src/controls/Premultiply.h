#pragma once
// Premultiplied alpha for 32-bit BGRA pixels, done once when a picture is
// loaded so that every later draw can blend per pixel without more work.
#include <cstddef>
#include <cstdint>

namespace ovek {

constexpr std::uint8_t PremultiplyChannel(std::uint8_t channel, std::uint8_t alpha) {
    return static_cast<std::uint8_t>(channel * alpha / 255);  // truncates
}

// pixels: count pixels of blue, green, red, alpha; alpha is left as it is.
inline void PremultiplyBgra(std::uint8_t* pixels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, pixels += 4) {
        const std::uint8_t alpha = pixels[3];
        if (alpha == 255) continue;
        pixels[0] = PremultiplyChannel(pixels[0], alpha);
        pixels[1] = PremultiplyChannel(pixels[1], alpha);
        pixels[2] = PremultiplyChannel(pixels[2], alpha);
    }
}

}  // namespace ovek
