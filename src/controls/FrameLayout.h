#pragma once
// The skinned frame's arithmetic: how much of the window the frame takes,
// where the caption buttons sit, which one a point hits, which colour a
// button is filled with and what its release asks of the window. Plain C++:
// COvekDialog feeds it the window's rectangles and draws what it answers.
#include <array>
#include <cstdint>

namespace ovek {

struct FrameBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    // Half-open, as PtInRect: the right and bottom edges are outside.
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    FrameBox Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    friend bool operator==(const FrameBox&, const FrameBox&) = default;
};

// The frame's lengths at one resolution, in device pixels.
struct FrameMetrics {
    int pixelX = 1;        // ScaleX(1): left and right border
    int pixelY = 1;        // ScaleY(1): top and bottom border
    int captionHeight = 28;  // ScaleY(28)
    int cellWidth = 30;    // ScaleX(30)
    int cellHeight = 30;   // ScaleY(30)
    int iconWidth = 18;    // ScaleX(18)
    int iconHeight = 18;   // ScaleY(18)

    static FrameMetrics ForResolution(int dpiX, int dpiY);
};

// What a maximized window loses on each side to the part that the platform
// pushes off the screen.
constexpr int kMaximizedInset = 8;

enum CaptionKind : std::int32_t { kCaptionClose = 0, kCaptionMaximize = 1, kCaptionRestore = 2, kCaptionMinimize = 3 };
constexpr int kCaptionButtonCount = 4;

// The part of a caption button the arithmetic works on.
struct CaptionButtonState {
    std::int32_t kind = kCaptionClose;
    std::int32_t visible = 1;
    std::int32_t disabled = 0;
    std::int32_t hover = 0;
    std::int32_t pressed = 0;
    std::int32_t hot = 0;
    FrameBox cell;        // window coordinates after layout
    FrameBox pictureRect;  // the first frame, centred in the cell
};

// The client rectangle left inside `window` (any origin).
FrameBox ClientBoxOf(const FrameBox& window, bool maximized, const FrameMetrics& m);

// A cell at the origin and the first frame of a picture centred in it. An
// absent cell (a window without maximize box) is empty, and so is its picture.
FrameBox CaptionCellAtOrigin(const FrameMetrics& m, bool present);
FrameBox CentredPictureRect(const FrameBox& cell, int frameWidth, int frameHeight);
// Size of the first frame of a picture that is a strip of `frameCount` frames.
void FirstFrameSize(int width, int height, int frameCount, bool horizontalStrip, int& frameWidth,
                    int& frameHeight);

// How far a maximized window's left and top edges stick out of the work area.
struct Overhang {
    int x = 0;
    int y = 0;
};
Overhang MaximizedOverhang(const FrameBox& window, const FrameBox& workArea, bool maximized);

// Places Close at the top right of the window rectangle (origin 0, 0), inset
// by one scaled pixel, then Maximize and Restore in the next slot to the
// left, then Minimize. An empty cell takes no room.
template <typename Button>
void LayoutCaptionButtons(std::array<Button, kCaptionButtonCount>& buttons, FrameBox window,
                          const Overhang& overhang, const FrameMetrics& m) {
    window.left += overhang.x;
    window.top += overhang.y;
    window.right -= overhang.x;
    window.bottom -= overhang.y;
    const FrameBox inset{window.left + m.pixelX, window.top + m.pixelY, window.right - m.pixelX,
                         window.bottom - m.pixelY};
    auto place = [&](Button& b, int right) {
        const int dx = right - b.cell.right;
        const int dy = inset.top - b.cell.top;
        b.cell = b.cell.Offset(dx, dy);
        b.pictureRect = b.pictureRect.Offset(dx, dy);
    };
    Button& close = buttons[kCaptionClose];
    place(close, inset.right);
    const int closeWidth = close.cell.Width();
    place(buttons[kCaptionMaximize], inset.right - closeWidth);
    place(buttons[kCaptionRestore], inset.right - closeWidth);
    place(buttons[kCaptionMinimize], inset.right - closeWidth - buttons[kCaptionMaximize].cell.Width());
}

// The kind of the first button, in list order, that is visible, enabled and
// has the point (window coordinates) in its cell; -1 for none.
template <typename Button>
int HitTestCaptionButtons(const std::array<Button, kCaptionButtonCount>& buttons, int x, int y) {
    for (const Button& b : buttons) {
        if (b.visible && !b.disabled && b.cell.Contains(x, y)) return b.kind;
    }
    return -1;
}

template <typename Button>
void ClearCaptionStates(std::array<Button, kCaptionButtonCount>& buttons) {
    for (Button& b : buttons) {
        if (b.visible) b.hot = 0;
        b.hover = 0;
        b.pressed = 0;
    }
}

// The first hot and visible button, -1 for none.
template <typename Button>
int HotCaptionButton(const std::array<Button, kCaptionButtonCount>& buttons) {
    for (const Button& b : buttons) {
        if (b.hot && b.visible) return b.kind;
    }
    return -1;
}

enum class CaptionFill { Normal, Hover, Pressed };
CaptionFill CaptionFillOf(const CaptionButtonState& b);

// What releasing the mouse on a caption button asks of the window.
enum class FrameCommand { None, Close, Minimize, Maximize, Restore };
// `hit` is the button under the pointer at the release, `hot` the first hot
// and visible one.
FrameCommand ReleaseCommand(int hit, int hot, bool hasMaximizeBox);
// A double-click outside the buttons.
FrameCommand DoubleClickCommand(bool onButton, bool hasMaximizeBox, bool maximized);

// Where the caption's icon and title go: the caption strip, the icon box
// when there is an icon, and the left edge and vertical position of the
// title for a text `textHeight` high.
struct CaptionTitleLayout {
    FrameBox caption;
    FrameBox icon;  // empty without icon
    FrameBox text;
};
CaptionTitleLayout LayoutCaptionTitle(int windowWidth, bool hasIcon, int textHeight, const FrameMetrics& m);

}  // namespace ovek
