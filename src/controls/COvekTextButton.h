#pragma once
// The large rounded button with a centred caption (Install, Start Now),
// drawn with Direct2D and DirectWrite. It stays a real button for the
// keyboard and screen readers: its window text is its caption, Space clicks
// it, and being disabled disables the window.
#include <windows.h>
#include <d2d1.h>
#include <dwrite.h>

#include <string>

#include "framework/Handles.h"
#include "controls/ButtonPress.h"
#include "framework/Window.h"
#include "ui/Palette.h"

namespace ovek {

class COvekTextButton : public CWindow {
public:
    COvekTextButton();
    ~COvekTextButton() override;

    // Binds the template control `id` of `dialog`.
    bool Bind(HWND dialog, int id);

    void SetCaption(const std::wstring& text);
    const std::wstring& Caption() const { return caption_; }
    // Disabled: grey face, near-white caption, deaf to clicks. Clears the
    // interaction state and repaints when the value changes.
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_ != 0; }

    bool Hover() const { return hover_ != 0; }
    bool Pressed() const { return press_.pressed != 0; }
    bool Captured() const { return press_.captured != 0; }
    bool Tracking() const { return tracking_ != 0; }

    Color surround;
    Color faceColors[4];  // disabled, normal, hover, pressed
    Color textColors[4];

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // The drawing objects come from these, so that a test can refuse one.
    virtual ComPtr<ID2D1Factory> MakeDrawingFactory();
    virtual ComPtr<ID2D1DCRenderTarget> MakeRenderTarget(ID2D1Factory* factory);
    virtual ComPtr<IDWriteFactory> MakeTextFactory();
    virtual HRESULT FinishDrawing(ID2D1RenderTarget* target) { return target->EndDraw(); }
    virtual void Trace(const wchar_t* text) { ::OutputDebugStringW(text); }

private:
    bool EnsureDrawingObjects();
    void ReleaseDrawingObjects();
    void Draw(HDC dc, const RECT& box);
    void ClearInteraction();
    void Click();
    void RepaintNow();

    std::wstring caption_;
    int enabled_ = 1;
    int hover_ = 0, tracking_ = 0;
    ButtonPress press_;
    int radiusX_ = 0, radiusY_ = 0;

    ComPtr<ID2D1Factory> factory_;
    ComPtr<ID2D1DCRenderTarget> target_;
    ComPtr<ID2D1SolidColorBrush> brush_;
    ComPtr<IDWriteFactory> textFactory_;
    ComPtr<IDWriteTextFormat> format_;
};

}  // namespace ovek
