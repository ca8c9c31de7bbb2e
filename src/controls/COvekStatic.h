#pragma once
// The owner-drawn label of the panels, optionally a link (hand pointer,
// focus rectangle, Space opens it like a click). Its window text follows
// the text it draws, so a screen reader reads what is shown.
#include <windows.h>

#include <string>

#include "framework/Window.h"
#include "ui/Palette.h"

namespace ovek {

class COvekStatic : public CWindow {
public:
    // Binds the template control `id` of `dialog` and makes it owner-drawn.
    bool Bind(HWND dialog, int id);

    void SetText(const std::wstring& text);  // and repaints
    const std::wstring& Text() const { return text_; }
    void SetFont(HFONT font) { font_ = font; }  // not owned; null: Arial made per paint
    void SetColors(Color background, Color text, Color alternateText);
    void SetAlternate(bool on) { alternate_ = on ? 1 : 0; }
    void SetFormat(UINT drawTextFlags) { format_ = drawTextFlags; }
    // A link answers the pointer and the keyboard: it must notify its parent.
    void SetLink(bool on);
    bool Focused() const { return focused_ != 0; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Draw(HDC dc, const RECT& r);

    int alternate_ = 0;
    std::wstring text_;
    HFONT font_ = nullptr;
    Color background_ = 0, textColor_ = 0, alternateColor_ = 0;
    UINT format_ = 0;
    int link_ = 0;
    int focused_ = 0;
};

}  // namespace ovek
