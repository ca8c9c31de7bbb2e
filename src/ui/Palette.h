#pragma once
// The dark theme's colours. Platform-free: a Color has the layout of a
// Windows COLORREF (0x00BBGGRR), so it goes to GDI as it is.
#include <cstdint>

namespace ovek {

using Color = uint32_t;
constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
constexpr uint8_t RedOf(Color c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t GreenOf(Color c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t BlueOf(Color c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

struct ThemePalette {
    Color WindowBackground;
    Color CaptionBackground;
    Color FrameBorder;
    Color LightText;
    Color CloseHover;
    Color ClosePressed;
    Color CaptionButtonHover;
    Color CaptionButtonPressed;
    Color TitleText;
    Color LabelText;
    Color FieldBackground;
    Color FieldButton;
    Color ProgressTrack;
    Color ProgressFill;
    Color ButtonFace;
    Color ButtonHover;
    Color ButtonPressed;
    Color ButtonDisabled;
    Color ButtonText;
    Color ButtonTextDisabled;
};

inline constexpr ThemePalette kDarkPalette{
    Rgb(24, 25, 30),    Rgb(24, 25, 30),    Rgb(24, 25, 30),    Rgb(200, 200, 200),
    Rgb(181, 39, 36),   Rgb(149, 16, 14),   Rgb(49, 63, 73),    Rgb(28, 31, 33),
    Rgb(255, 255, 255), Rgb(185, 186, 187), Rgb(47, 48, 52),    Rgb(65, 66, 70),
    Rgb(75, 71, 70),    Rgb(7, 165, 216),   Rgb(7, 165, 216),   Rgb(23, 190, 244),
    Rgb(5, 138, 181),   Rgb(112, 112, 112), Rgb(255, 255, 255), Rgb(240, 240, 240),
};

// Colours fixed where they are used rather than in the palette.
inline constexpr Color kLicenceLinkColor = Rgb(89, 134, 178);
inline constexpr Color kSeparatorColor = Rgb(40, 40, 40);
inline constexpr Color kSlideshowBackground = Rgb(24, 25, 30);

// The process-wide palette. It holds the dark palette from the start, so a
// window made before start-up's InitThemePalette (a test's) is never black.
const ThemePalette& Palette();

}  // namespace ovek
