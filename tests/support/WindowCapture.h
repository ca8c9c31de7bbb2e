#pragma once
// Pixels of windows as they reached the screen, and colour checks on them
// that explain themselves when they fail.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace ovek::test {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
constexpr Rgb RgbOf(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}
std::string HexText(Rgb c);  // "#RRGGBB"
// Largest difference of one channel: anti-aliased edges differ by a few steps.
int ColorDistance(Rgb a, Rgb b);

// A rectangle of pixels, top row first, with the screen position it came from.
class PixelBuffer {
public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height, POINT origin = {0, 0});

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Where pixel (0, 0) was on the screen.
    POINT Origin() const { return origin_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgb At(int x, int y) const;
    void Set(int x, int y, Rgb c);
    // 0x00RRGGBB per pixel, row by row; 32-bit top-down DIB order.
    std::uint32_t* Data() { return pixels_.data(); }
    const std::uint32_t* Data() const { return pixels_.data(); }

private:
    int width_ = 0, height_ = 0;
    POINT origin_{0, 0};
    std::vector<std::uint32_t> pixels_;
};

// Copies what the screen shows at the window's rectangle (frame included),
// or at a rectangle in screen coordinates. Empty on failure.
PixelBuffer CaptureWindow(HWND window);
PixelBuffer CaptureScreenRect(const RECT& screenRect);
// The window's client area only, with its origin at the client's top-left.
PixelBuffer CaptureClient(HWND window);

// Bounding box of the pixels within tolerance of the colour, inside `within`
// (buffer coordinates; the whole buffer when omitted); nullopt when none is.
std::optional<RECT> FindColorBounds(const PixelBuffer& pixels, Rgb color, int tolerance,
                                    std::optional<RECT> within = std::nullopt);
// How many pixels inside `area` are within tolerance of the colour.
int CountColor(const PixelBuffer& pixels, Rgb color, int tolerance, const RECT& area);

// EXPECT_TRUE(PixelNear(shot, x, y, RgbOf(...), 8));
::testing::AssertionResult PixelNear(const PixelBuffer& pixels, int x, int y, Rgb expected,
                                     int tolerance);
// Every pixel of `area` within tolerance; names the first one that is not.
::testing::AssertionResult AreaFilled(const PixelBuffer& pixels, const RECT& area, Rgb expected,
                                      int tolerance);
// The bounding box of the colour (inside `within`, or anywhere) equals
// `expected` within `slack` pixels per edge.
::testing::AssertionResult ColorRectIs(const PixelBuffer& pixels, Rgb color, int tolerance,
                                       const RECT& expected, int slack = 0,
                                       std::optional<RECT> within = std::nullopt);

// PNG, 8-bit RGB. True when the whole file was written.
bool SavePng(const PixelBuffer& pixels, const std::wstring& path);
// The encoded file, for SavePng and for tests of it.
std::vector<std::uint8_t> EncodePng(const PixelBuffer& pixels);
// Saves under build/test-output/screenshots/<name>.png; returns the path.
std::wstring SaveScreenshot(const PixelBuffer& pixels, const std::wstring& name);

}  // namespace ovek::test
