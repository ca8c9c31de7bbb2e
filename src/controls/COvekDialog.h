#pragma once
// The skinned frame every top-level window of the installer is built on: a
// flat dark caption strip with its own Close, Maximize/Restore and Minimize
// buttons, an optional icon and title, a one-pixel border, and the client
// background. The caption buttons live in the non-client area (they are not
// windows); the window text stays the window's name for screen readers, and
// the system's own close (Alt+F4, the system menu) still reaches WM_CLOSE.
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "controls/FrameLayout.h"
#include "framework/Handles.h"
#include "framework/Window.h"

namespace ovek {

class CImageWrapper;

struct CaptionButton : CaptionButtonState {
    HWND owner = nullptr;
    // Keeps the cached picture alive; no picture means nothing is drawn.
    std::shared_ptr<CImageWrapper> picture;
    int pictureWidth = 0;
    int pictureHeight = 0;
    int frameCount = 1;
    int horizontalStrip = 1;
    COLORREF normalColor = 0;
    COLORREF hoverColor = 0;
    COLORREF pressedColor = 0;
    std::wstring name;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
};

class COvekDialog : public CDialog {
public:
    // Pictures come from `pictureModule`'s "PNG" resources (null: the program).
    explicit COvekDialog(HMODULE pictureModule = nullptr);
    ~COvekDialog() override;

    // Draws the whole frame again (caption, buttons, title, border).
    void RepaintFrame();
    // The kind of the caption button at a point in window coordinates, -1 for none.
    int HitTest(POINT windowPoint);
    void ClearStates();

    // Set by the owner (then RepaintFrame): the caption shows the icon and title.
    std::int32_t captionTitle = 0;

    CaptionButton& Button(int kind) { return buttons_[static_cast<size_t>(kind)]; }
    const CaptionButton& Button(int kind) const { return buttons_[static_cast<size_t>(kind)]; }
    // How often the frame was drawn; lets callers see that nothing was redrawn.
    unsigned FrameRepaints() const { return frameRepaints_; }
    bool Pressing() const { return pressing_ != 0; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Called with the client rectangle after every size change.
    virtual void LayoutClient(const RECT& client) { (void)client; }

private:
    void BuildCaptionButtons();
    LRESULT OnNcCalcSize(WPARAM wp, LPARAM lp);
    LRESULT OnNcHitTest(WPARAM wp, LPARAM lp);
    void OnSize();
    // The mouse handlers take window coordinates.
    LRESULT OnNcMouseMove(UINT msg, WPARAM wp, LPARAM lp, POINT pt);
    void OnNcMouseLeave();
    LRESULT OnNcButtonDown(UINT msg, WPARAM wp, LPARAM lp, POINT pt);
    void OnButtonUp(POINT pt);
    LRESULT OnNcDoubleClick(UINT msg, WPARAM wp, LPARAM lp, POINT pt);
    void EndPress();
    bool HasMaximizeBox() const;
    POINT ScreenToWindow(LPARAM screenPoint) const;
    POINT ClientToWindow(LPARAM clientPoint) const;
    void DrawFrame(HDC target);
    // Lays the buttons out if the size changed since the last layout.
    void EnsureLayout();

    HMODULE pictureModule_ = nullptr;
    UniqueFont captionFont_;
    std::array<CaptionButton, kCaptionButtonCount> buttons_{};
    std::int32_t tracking_ = 0;
    std::int32_t pressing_ = 0;
    int pressedKind_ = -1;  // the button the press began on
    std::int32_t layoutPending_ = 1;
    bool built_ = false;
    unsigned frameRepaints_ = 0;
};

}  // namespace ovek
