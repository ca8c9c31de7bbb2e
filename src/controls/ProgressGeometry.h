#pragma once
// Where the progress bar's track and fill go in its client area.
// Platform-free arithmetic; COvekProgress draws what it describes.
#include <algorithm>

namespace ovek {

struct ProgressShape {
    float left = 0, top = 0, right = 0, bottom = 0;  // the rounded track
    float radiusX = 0, radiusY = 0;
    bool hasFill = false;
    float fillRight = 0;  // the fill is the track cut at this x
};

// The bar (barWidth x barHeight) centred in a client area, filled by
// position / range. A position outside 0..range is held to it and a range
// of 0 or less fills nothing, so no owner can make the fill leave the track.
inline ProgressShape ComputeProgressShape(int clientWidth, int clientHeight, int barWidth, int barHeight,
                                          int position, int range, float radiusX, float radiusY) {
    ProgressShape s;
    const float w = static_cast<float>(std::max(barWidth, 0));
    const float h = static_cast<float>(std::max(barHeight, 0));
    s.left = (static_cast<float>(clientWidth) - w) / 2.0f;
    s.top = (static_cast<float>(clientHeight) - h) / 2.0f;
    s.right = s.left + w;
    s.bottom = s.top + h;
    s.radiusX = radiusX;
    s.radiusY = std::min(radiusY, w / 2.0f);
    if (range > 0 && position > 0 && w > 0 && h > 0) {
        const double fraction = std::min(1.0, static_cast<double>(position) / range);
        s.hasFill = true;
        s.fillRight = s.left + static_cast<float>(w * fraction);
    }
    return s;
}

}  // namespace ovek
