#pragma once
// Which of the four picture sizes suits a screen resolution. Platform-free.
// SnappedResolution is the theme's own (one definition for the program).
#include "ui/Scaling.h"

namespace ovek {

// Scale, in per cent, of the slide folder for a snapped resolution.
inline int SlideScale(int snappedResolution) {
    if (snappedResolution >= 192) return 200;
    if (snappedResolution >= 144) return 150;
    if (snappedResolution < 120) return 100;
    return 125;
}

}  // namespace ovek
