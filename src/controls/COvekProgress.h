#pragma once
// A thin progress bar with rounded ends, drawn anti-aliased with Direct2D.
// The owner creates it as a child window, sets its bar rectangle, range,
// colours and position, and repaints it after each change.
#include <windows.h>
#include <d2d1.h>

#include "framework/Handles.h"
#include "framework/Window.h"
#include "ui/Palette.h"

namespace ovek {

class COvekProgress : public CWindow {
public:
    static constexpr const wchar_t* kClassName = L"OvekProgress";

    COvekProgress();

    HWND Create(HWND parent, UINT id, const RECT& rect, DWORD style = WS_CHILD);

    void SetPos(int position);
    void SetRange(int range);
    void SetColors(Color background, Color track, Color fill);
    // The bar's size; the bar is centred in the client area.
    void SetBarRect(const RECT& bar) { bar_ = bar; }

    int Pos() const noexcept { return position_; }
    int Range() const noexcept { return range_; }
    // How many times the drawing objects were made: 1 after any number of
    // ordinary paints, one more after each recreation the platform asked for.
    int DrawingObjectsCreated() const noexcept { return created_; }
    bool HasDrawingObjects() const noexcept { return static_cast<bool>(target_); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Seams for the platform's failures: making the factory, and ending a
    // frame (D2DERR_RECREATE_TARGET asks for new drawing objects).
    virtual ComPtr<ID2D1Factory> MakeFactory();
    virtual HRESULT FinishDrawing(ID2D1RenderTarget* target);

private:
    void Draw(HDC dc, const RECT& client);
    bool EnsureDrawingObjects();
    void UpdateAccessibleText();

    Color background_;
    Color track_;
    Color fill_;
    int position_ = 0;
    int range_ = 100;
    RECT bar_{};
    float radiusX_;
    float radiusY_;
    ComPtr<ID2D1Factory> factory_;
    ComPtr<ID2D1DCRenderTarget> target_;
    int created_ = 0;
    bool creationFailed_ = false;
};

}  // namespace ovek
