#include "ui/SuccessRules.h"

#include <algorithm>

#include "ui/Scaling.h"

namespace ovek {

SuccessLayout ComputeSuccessLayout(const FrameBox& r, int dpiX, int dpiY, int titleWidth, int titleHeight) {
    auto sx = [dpiX](int n) { return ScaleBy(dpiX, n); };
    auto sy = [dpiY](int n) { return ScaleBy(dpiY, n); };
    const int w = r.Width();
    SuccessLayout out;

    const int iconSize = sx(64);
    const int iconLeft = r.left + (w - iconSize) / 2;
    const int iconTop = r.top + sx(90);
    out.icon = {iconLeft, iconTop, iconLeft + iconSize, iconTop + iconSize};

    if (titleWidth > 0 && titleHeight > 0) {
        const int top = iconTop + iconSize + titleHeight / 2;
        const int left = std::max(r.left, r.left + (w - titleWidth) / 2);
        const int right = std::min(r.right, left + titleWidth);
        out.title = {left, top, right, top + titleHeight};
    }

    const int buttonWidth = sx(300);
    const int buttonLeft = r.left + (w - buttonWidth) / 2;
    const int buttonTop = r.top + sx(240);
    out.startNow = {buttonLeft, buttonTop, buttonLeft + buttonWidth, buttonTop + sy(34)};

    const int checkLeft = r.left + sy(30);
    const int checkTop = r.bottom - sy(20) - sy(20);
    out.launchCheck = {checkLeft, checkTop, checkLeft + sx(20), checkTop + sy(20)};
    const int labelLeft = checkLeft + sx(20) + sx(4);
    out.launchLabel = {labelLeft, checkTop, r.right, checkTop + sy(20)};
    return out;
}

bool ShouldOpenHomePage(bool productInstalled, bool relatedProductInstalled, bool alreadyOpened,
                        const std::wstring& url) {
    return !productInstalled && !relatedProductInstalled && !alreadyOpened && !url.empty();
}

}  // namespace ovek
