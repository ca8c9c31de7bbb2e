#pragma once
// The status page's arithmetic: where its controls go, and how the overall
// progress becomes the bar's position and the percentage text. Platform-free.
#include <cmath>
#include <cwchar>
#include <string>

#include "framework/DecimalText.h"
#include "ui/Scaling.h"

namespace ovek {

struct PanelBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PanelBox&) const = default;
};

struct StatusLayout {
    PanelBox slideshow, status, time, percent, bar;
};

// The slideshow across the top under the logo, then the two text lines with
// the percentage right of the second, then the bar the width of both.
inline StatusLayout LayOutStatusPanel(const PanelBox& r, int dpiX, int dpiY) {
    const auto sx = [dpiX](int n) { return ScaleBy(dpiX, n); };
    const auto sy = [dpiY](int n) { return ScaleBy(dpiY, n); };
    StatusLayout l;
    const int showTop = r.top + sx(36);
    l.slideshow = {r.left, showTop, r.right, showTop + sy(284)};
    const int margin = sy(30);
    const int x = r.left + margin;
    const int textRight = r.right - sx(100) - margin;
    const int statusTop = showTop + sy(284) + sy(15);
    l.status = {x, statusTop, textRight, statusTop + sy(20)};
    l.time = {x, l.status.top + sy(20), textRight, l.status.bottom + sy(20)};
    l.percent = {textRight, l.time.top, r.right - margin, l.time.bottom};
    const int barTop = l.time.bottom + sy(10);
    l.bar = {x, barTop, r.right - margin, barTop + sy(8)};
    return l;
}

// The bar runs from 0 to 1000: tenths of a per cent, truncated.
inline int ProgressPosition(float percent) {
    if (!(percent > 0.0f)) return 0;  // also NaN
    if (percent >= 100.0f) return 1000;
    return static_cast<int>(std::trunc(percent * 10.0f));
}

// "42.5%": always one decimal.
inline std::wstring FormatPercent(float percent) {
    if (!(percent >= 0.0f)) percent = 0.0f;
    if (percent > 100.0f) percent = 100.0f;
    return FixedText(static_cast<double>(percent), 1) + L"%";
}

}  // namespace ovek
