#pragma once
// Resolution rules: every interface length is a 96-dpi design value that
// follows the screen in steps (100, 125, 150, 200 %), and every picture comes
// in four variants chosen by the snapped resolution. Platform-free; the
// process-wide resolution itself is read in Theme.cpp.
#include <cstdint>

namespace ovek {

// The step factor for one axis: 1.0 below 120 dpi, 1.25 below 144, 1.5 below
// 192, 2.0 from there on.
double StepFactor(int dpi);
// truncate(StepFactor(dpi) * n), toward zero: ScaleBy(192, -1) is -2.
int ScaleBy(int dpi, int n);
// truncate(dpi * n / 96) in single precision, for the few lengths that follow
// the resolution without steps.
int Unstepped(int dpi, int n);
// The resolution the pictures are drawn for: dpi itself below 120, then 120,
// 144 or 192.
int SnappedResolution(int dpiY);
// 0 to 3: the variant drawn for 16, 20, 24 or 32 pixels.
int PictureVariant(int snapped);

// The picture families; each value is the id of the family's first variant.
enum class Picture : uint32_t {
    Close = 106,
    Minimize = 110,
    Maximize = 114,
    Restore = 118,
    Logo = 129,
    ComboArrow = 144,
    CheckTicked = 153,
    CheckEmpty = 157,
    ChevronUp = 161,
    ChevronDown = 165,
};
constexpr uint32_t PictureResourceId(Picture family, int snapped) {
    const int variant = snapped < 120 ? 0 : snapped < 144 ? 1 : snapped < 192 ? 2 : 3;
    return static_cast<uint32_t>(family) + static_cast<uint32_t>(variant);
}

// The screen's resolution, read once on first use (96 x 96 when the screen
// cannot be asked), and the lengths derived from it.
struct ScreenResolution {
    int dpiX = 96;
    int dpiY = 96;
};
const ScreenResolution& Resolution();
inline int ScaleX(int n) { return ScaleBy(Resolution().dpiX, n); }
inline int ScaleY(int n) { return ScaleBy(Resolution().dpiY, n); }
inline int UnsteppedX(int n) { return Unstepped(Resolution().dpiX, n); }
inline int UnsteppedY(int n) { return Unstepped(Resolution().dpiY, n); }
inline int SnappedDpi() { return SnappedResolution(Resolution().dpiY); }
inline uint32_t ThemePictureId(Picture family) { return PictureResourceId(family, SnappedDpi()); }

}  // namespace ovek
