#pragma once
// The arithmetic of the two skinned buttons, without the platform: which of
// the four looks a button shows, where its caption's ink sits, and where the
// first frame of a picture strip goes in a cell.
#include <algorithm>
#include <cmath>

namespace ovek {

// Index into the four face and text colours: disabled, normal, hover, pressed.
enum class ButtonLook { Disabled = 0, Normal = 1, Hover = 2, Pressed = 3 };

// Hover wins over pressed: a button held with the pointer on it keeps its
// hover face; the pressed face shows while the pointer is outside.
constexpr ButtonLook TextButtonLook(bool enabled, bool hover, bool pressed) {
    if (!enabled) return ButtonLook::Disabled;
    if (hover) return ButtonLook::Hover;
    if (pressed) return ButtonLook::Pressed;
    return ButtonLook::Normal;
}

// The numbers a text layout reports about its caption.
struct CaptionMetrics {
    float top = 0;             // text metrics: top of the lines in the layout box
    float height = 0;          // text metrics: height of the lines
    float layoutHeight = 0;    // height of the layout box
    float overhangTop = 0;     // ink above the box top (positive: outside)
    float overhangBottom = 0;  // ink below the box bottom (positive: outside)
};

// Height of the caption's ink, the span the button centres vertically.
inline int InkedHeight(const CaptionMetrics& m) {
    const float above = std::max(0.0f, m.overhangTop + m.top);
    const float below = std::max(0.0f, m.layoutHeight + m.overhangBottom - m.top - m.height);
    return static_cast<int>(std::ceil(above + m.height + below));
}

// Top of a caption of inked height `ink` centred in a box (integer division).
constexpr int CentredCaptionTop(int boxTop, int boxHeight, int ink) { return boxTop + (boxHeight - ink) / 2; }

// Corner radius of the face: never more than half the face's extent.
inline float FaceRadius(int radius, int extent) { return std::min(static_cast<float>(radius), extent / 2.0f); }

struct CellPlacement {
    int x = 0, y = 0, width = 0, height = 0;
};

// Where the first frame of a picture of `frameCount` equal frames goes,
// unscaled and centred in a cell; a zero size when there is nothing to draw.
inline CellPlacement FirstFrameInCell(int cellWidth, int cellHeight, int pictureWidth, int pictureHeight,
                                      int frameCount, bool horizontalStrip) {
    if (frameCount <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return {};
    const int w = horizontalStrip ? pictureWidth / frameCount : pictureWidth;
    const int h = horizontalStrip ? pictureHeight : pictureHeight / frameCount;
    if (w <= 0 || h <= 0) return {};
    return {(cellWidth - w) / 2, (cellHeight - h) / 2, w, h};
}

}  // namespace ovek
