#pragma once
// The single-line field of the settings panel (the installation folder):
// a flat one-pixel frame in place of the platform's border, its line
// centred vertically, the whole text selected by the first click.
#include <windows.h>

#include <string>

#include "controls/COvekEditRules.h"
#include "framework/Handles.h"
#include "framework/Window.h"
#include "ui/Palette.h"

namespace ovek {

// Sent to the parent on Enter in the numeric modes, with the field's window.
constexpr UINT kEditEnterMessage = WM_USER + 222;

class COvekEdit : public CWindow {
public:
    COvekEdit();

    // Binds the template control `id` of `dialog`, dropping its border.
    bool Bind(HWND dialog, int id);

    void SetColors(Color idleFrame, Color activeFrame, Color background, Color text);
    void SetMode(EditMode mode) { mode_ = mode; }
    NumericSettings numeric;
    bool pasteAllowed = true;

    bool Active() const { return active_ != 0; }
    const std::wstring& CachedText() const { return cachedText_; }

    // The platform asks the parent for an edit's colours: a parent passes
    // WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC here first. True (and the brush in
    // `result`) when the control is one of ours.
    static bool ReflectColor(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnColor(HDC dc);
    void PaintFrame();
    void RedrawFrame();
    bool Writable() const;
    void SelectAll();
    void CaretToEnd();
    std::wstring Text() const;
    bool ShortcutKey(WPARAM key);

    Color idleFrame_ = 0, activeFrame_ = 0, background_ = 0, text_ = 0;
    UniqueBrush brush_;
    int active_ = 0;
    EditMode mode_ = EditMode::Integer;
    std::wstring cachedText_;
};

}  // namespace ovek
