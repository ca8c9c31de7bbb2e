#pragma once
// The language box's arithmetic: where the arrow sits, where the face text
// is cut, how wide the drop list is and where it goes at the monitor edge,
// and how the keyboard moves the selection. Plain C++; the window classes
// feed it measured values.
#include <algorithm>

#include "ui/Scaling.h"

namespace ovek::combo {

struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Box&, const Box&) = default;
};

// Above this many items the list shows a scroll bar, so the drop width makes
// room for one.
inline constexpr int kScrollBarItemThreshold = 30;
// The list shows seven rows of the 22-pixel design height.
inline constexpr int kVisibleRows = 7;
inline constexpr int kRowDesignHeight = 22;

// Cells of the arrow strip: 0 inactive (unused here), 1 hover, 2 normal.
inline constexpr int kArrowCellCount = 3;
inline constexpr int ArrowCell(bool hover) { return hover ? 1 : 2; }

// The area that toggles the list in an editable box, over the full height.
inline Box ArrowArea(int clientRight, int clientHeight, int cellWidth, int dpiX) {
    const int pad = Unstepped(dpiX, 4);
    const int left = clientRight - cellWidth - 2 * pad;
    return {left, 0, left + cellWidth + pad, clientHeight};
}

// The drop-button fill at the right edge.
inline int DropButtonWidth(int cellWidth, int dpiX) { return std::max(ScaleBy(dpiX, 24), cellWidth); }

// Left edge of the arrow cell on the face.
inline int ArrowCellLeft(int clientRight, int cellWidth, int dpiX) {
    return clientRight - cellWidth - ScaleBy(dpiX, 5);
}

// Top that centres something of `height` in `outer`; may be negative.
inline int CentredTop(int outer, int height) { return (outer - height) / 2; }

// The horizontal extent of the selected text on the face: it starts after
// the icon column when there are icons and is cut before the arrow.
struct Span {
    int left = 0;
    int right = 0;
    friend bool operator==(const Span&, const Span&) = default;
};
inline Span FaceTextSpan(int clientWidth, int cellWidth, int dpiX, bool withIcons) {
    const int pad = Unstepped(dpiX, 4);
    const int left = withIcons ? Unstepped(dpiX, 24) : pad;
    return {left, clientWidth + Unstepped(dpiX, 1) - 2 * pad - cellWidth};
}

// Where the text of a list row starts.
inline int ItemTextLeft(int dpiX, bool withIcons) { return withIcons ? Unstepped(dpiX, 24) : Unstepped(dpiX, 4); }

// What the drop width is made of: measured pixels and system metrics.
struct DropWidthInput {
    int widestText = 0;      // widest item string in the box's font
    int itemCount = 0;
    int scrollBarWidth = 0;  // the system's vertical scroll-bar width
    int edgeWidth = 0;       // the system's 3-D edge width
    int averageCharWidth = 0;
    int controlWidth = 0;
    int smallIconWidth = 0;  // counted only when the box has item icons
    bool withIcons = false;
    bool previewMode = false;
};
inline int DropWidth(const DropWidthInput& in, int dpiX) {
    int w = in.widestText;
    if (in.itemCount > kScrollBarItemThreshold) w += in.scrollBarWidth;
    int g = w + 2 * Unstepped(dpiX, in.edgeWidth) + 2 * Unstepped(dpiX, in.averageCharWidth);
    if (in.withIcons) g += in.smallIconWidth;
    int width = std::max(in.controlWidth, g);
    if (in.previewMode) width += ScaleBy(dpiX, 150) + ScaleBy(dpiX, 30);
    return width;
}

inline int DropListHeight(int dpiY) { return kVisibleRows * Unstepped(dpiY, kRowDesignHeight); }

// The list's new left edge: moved left so that its right edge meets the
// monitor's, but only when the box itself starts on that monitor.
inline int KeepListOnMonitor(int controlLeft, int listLeft, int listWidth, int monitorLeft, int monitorRight) {
    const bool controlOnMonitor = controlLeft >= monitorLeft && controlLeft < monitorRight;
    if (controlOnMonitor && listLeft + listWidth > monitorRight) return monitorRight - listWidth;
    return listLeft;
}

// Keys that move the selection of a closed box, as the platform's drop-down
// list does.
enum class SelectionKey { Up, Down, Home, End, PageUp, PageDown };
// The index the key selects from `current` (-1: nothing selected) among
// `count` items, `page` rows to a page; -1 when the box is empty.
inline int NextSelection(int current, int count, SelectionKey key, int page) {
    if (count <= 0) return -1;
    page = std::max(page, 1);
    int next = current;
    switch (key) {
        case SelectionKey::Up: next = current < 0 ? 0 : current - 1; break;
        case SelectionKey::Down: next = current + 1; break;
        case SelectionKey::Home: next = 0; break;
        case SelectionKey::End: next = count - 1; break;
        case SelectionKey::PageUp: next = current < 0 ? 0 : current - (page - 1); break;
        case SelectionKey::PageDown: next = current < 0 ? page - 1 : current + (page - 1); break;
    }
    return std::clamp(next, 0, count - 1);
}

}  // namespace ovek::combo
