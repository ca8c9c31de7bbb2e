#pragma once
// The flat picture-or-caption button on a coloured cell (the acceptance
// check box, the settings expander, the browse button). Its window text is
// its accessible name, kept from the template unless a caption replaces it.
#include <windows.h>

#include <string>

#include "controls/ButtonPress.h"
#include "framework/Window.h"
#include "ui/Palette.h"

namespace ovek {

// True when the window should show that it has the keyboard focus: the
// dialog manager hides focus cues until the keyboard is used.
inline bool FocusCueVisible(HWND hwnd) {
    return (::SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

class COvekButton : public CWindow {
public:
    // Binds the template control `id` of `dialog` and makes it owner-drawn.
    bool Bind(HWND dialog, int id);

    // Colours and caption; removes the picture.
    void SetColors(Color normal, Color hover, Color pressed, Color border, const std::wstring& caption);
    // A premultiplied 32-bit picture the caller keeps alive (the picture
    // cache does); only its first frame is drawn.
    void SetPicture(HBITMAP bitmap, SIZE size, int frameCount = 1, bool horizontalStrip = true);

    bool Hover() const { return hover_ != 0; }
    bool Pressed() const { return press_.pressed != 0; }
    bool Captured() const { return press_.captured != 0; }
    bool Tracking() const { return tracking_ != 0; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Draw(HDC dc, const RECT& r);
    void Click();

    Color normal_ = 0, hover_color_ = 0, pressed_color_ = 0, border_ = 0;
    std::wstring caption_;
    HBITMAP picture_ = nullptr;
    int frameCount_ = 0;
    int horizontalStrip_ = 1;
    SIZE pictureSize_{0, 0};
    int hover_ = 0, tracking_ = 0;
    ButtonPress press_;
};

}  // namespace ovek
