#pragma once
// The wizard: settings, status and success panels in one modal window.
#include <windows.h>

namespace ovek {

class CInstallGuide {
public:
    // Runs the wizard modally; returns when its window has closed.
    INT_PTR DoModal(HWND owner = nullptr);
    HWND Window() const { return window_; }

private:
    HWND window_ = nullptr;
};

}  // namespace ovek
