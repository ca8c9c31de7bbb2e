#include "ui/Scaling.h"

namespace ovek {

double StepFactor(int dpi) {
    const double ratio = dpi / 96.0;
    if (ratio < 1.25) return 1.0;
    if (ratio < 1.5) return 1.25;
    if (ratio < 2.0) return 1.5;
    return 2.0;
}

int ScaleBy(int dpi, int n) { return static_cast<int>(StepFactor(dpi) * n); }

int Unstepped(int dpi, int n) {
    return static_cast<int>(static_cast<float>(dpi) * static_cast<float>(n) / 96.0f);
}

int SnappedResolution(int dpiY) {
    if (dpiY < 120) return dpiY;
    if (dpiY < 144) return 120;
    if (dpiY < 192) return 144;
    return 192;
}

int PictureVariant(int snapped) { return snapped < 120 ? 0 : snapped < 144 ? 1 : snapped < 192 ? 2 : 3; }

}  // namespace ovek
