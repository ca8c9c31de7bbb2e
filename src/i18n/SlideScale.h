#pragma once
// Which of the four picture sizes suits a screen resolution. Platform-free.
namespace ovek {

// The screen resolution snapped to the four picture sizes: itself below 120
// dpi, else 120, 144 or 192.
inline int SnappedResolution(int dpi) {
    if (dpi >= 192) return 192;
    if (dpi >= 144) return 144;
    if (dpi >= 120) return 120;
    return dpi;
}

// Scale, in per cent, of the slide folder for a snapped resolution.
inline int SlideScale(int snappedResolution) {
    if (snappedResolution >= 192) return 200;
    if (snappedResolution >= 144) return 150;
    if (snappedResolution < 120) return 100;
    return 125;
}

}  // namespace ovek
