#pragma once
// The success page's arithmetic and its one decision, without the platform:
// where its pieces go at a resolution, and whether the home page opens.
#include <string>

#include "controls/FrameLayout.h"

namespace ovek {

struct SuccessLayout {
    FrameBox icon;
    FrameBox title;  // "%s is ready"; empty when there is no text
    FrameBox startNow;
    FrameBox launchCheck;
    FrameBox launchLabel;
};

// `titleSize` is the measured title text (0 x 0 for none). The title keeps
// its measured size but never reaches past the client's sides, so a long
// name ends in an ellipsis instead of running off the page.
SuccessLayout ComputeSuccessLayout(const FrameBox& client, int dpiX, int dpiY, int titleWidth, int titleHeight);

// The home page opens once, only after a fresh installation, and only when
// the installation told us where it is.
bool ShouldOpenHomePage(bool productInstalled, bool relatedProductInstalled, bool alreadyOpened,
                        const std::wstring& url);

}  // namespace ovek
