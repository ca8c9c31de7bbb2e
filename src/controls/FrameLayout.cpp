#include "controls/FrameLayout.h"

#include "ui/Scaling.h"

namespace ovek {

FrameMetrics FrameMetrics::ForResolution(int dpiX, int dpiY) {
    FrameMetrics m;
    m.pixelX = ScaleBy(dpiX, 1);
    m.pixelY = ScaleBy(dpiY, 1);
    m.captionHeight = ScaleBy(dpiY, 28);
    m.cellWidth = ScaleBy(dpiX, 30);
    m.cellHeight = ScaleBy(dpiY, 30);
    m.iconWidth = ScaleBy(dpiX, 18);
    m.iconHeight = ScaleBy(dpiY, 18);
    return m;
}

FrameBox ClientBoxOf(const FrameBox& window, bool maximized, const FrameMetrics& m) {
    FrameBox client = window;
    const int extra = maximized ? kMaximizedInset : 0;
    client.top += extra + m.captionHeight + m.pixelY;
    client.left += maximized ? kMaximizedInset : m.pixelX;
    client.right -= maximized ? kMaximizedInset : m.pixelX;
    client.bottom -= maximized ? kMaximizedInset : m.pixelY;
    // A window smaller than its frame keeps an empty client, never a negative one.
    if (client.right < client.left) client.right = client.left;
    if (client.bottom < client.top) client.bottom = client.top;
    return client;
}

FrameBox CaptionCellAtOrigin(const FrameMetrics& m, bool present) {
    return present ? FrameBox{0, 0, m.cellWidth, m.cellHeight} : FrameBox{};
}

FrameBox CentredPictureRect(const FrameBox& cell, int frameWidth, int frameHeight) {
    if (cell.Empty()) return {};
    const int left = cell.left + (cell.Width() - frameWidth) / 2;
    const int top = cell.top + (cell.Height() - frameHeight) / 2;
    return {left, top, left + frameWidth, top + frameHeight};
}

void FirstFrameSize(int width, int height, int frameCount, bool horizontalStrip, int& frameWidth,
                    int& frameHeight) {
    const int frames = frameCount > 0 ? frameCount : 1;
    frameWidth = horizontalStrip ? width / frames : width;
    frameHeight = horizontalStrip ? height : height / frames;
}

Overhang MaximizedOverhang(const FrameBox& window, const FrameBox& workArea, bool maximized) {
    if (!maximized || window.left >= workArea.left) return {};
    return {workArea.left - window.left, workArea.top - window.top};
}

CaptionFill CaptionFillOf(const CaptionButtonState& b) {
    if (b.disabled) return CaptionFill::Normal;
    if (b.pressed) return CaptionFill::Pressed;
    if (b.hover) return CaptionFill::Hover;
    return CaptionFill::Normal;
}

FrameCommand ReleaseCommand(int hit, int hot, bool hasMaximizeBox) {
    if (hit < 0 || hit != hot) return FrameCommand::None;
    switch (hit) {
    case kCaptionClose:
        return FrameCommand::Close;
    case kCaptionMinimize:
        return FrameCommand::Minimize;
    case kCaptionMaximize:
        return hasMaximizeBox ? FrameCommand::Maximize : FrameCommand::None;
    case kCaptionRestore:
        return hasMaximizeBox ? FrameCommand::Restore : FrameCommand::None;
    default:
        return FrameCommand::None;
    }
}

FrameCommand DoubleClickCommand(bool onButton, bool hasMaximizeBox, bool maximized) {
    if (onButton || !hasMaximizeBox) return FrameCommand::None;
    return maximized ? FrameCommand::Restore : FrameCommand::Maximize;
}

CaptionTitleLayout LayoutCaptionTitle(int windowWidth, bool hasIcon, int textHeight, const FrameMetrics& m) {
    CaptionTitleLayout out;
    out.caption = {m.pixelX, m.pixelY, windowWidth - m.pixelX, m.pixelY + m.captionHeight};
    int left = out.caption.left;
    if (hasIcon) {
        const int iconLeft = left + 4 * m.pixelX;
        const int iconTop = out.caption.top + (m.captionHeight - m.iconHeight) / 2;
        out.icon = {iconLeft, iconTop, iconLeft + m.iconWidth, iconTop + m.iconHeight};
        left += 4 * m.pixelX + m.iconWidth;
    }
    const int textTop = out.caption.top + (m.captionHeight - textHeight) / 2;
    out.text = {left + 5 * m.pixelY, textTop, out.caption.right, textTop + textHeight};
    return out;
}

}  // namespace ovek
