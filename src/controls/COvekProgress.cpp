#include "controls/COvekProgress.h"
#include "framework/DecimalText.h"

#include <cstdio>

#include "controls/ProgressGeometry.h"
#include "framework/Direct2D.h"
#include "framework/Gdi.h"
#include "ui/Scaling.h"
#include "ui/Theme.h"

namespace ovek {

COvekProgress::COvekProgress()
    : background_(Palette().WindowBackground),
      track_(Palette().ProgressTrack),
      fill_(Palette().ProgressFill),
      radiusX_(3.0f * static_cast<float>(Resolution().dpiX) / 96.0f),
      radiusY_(3.0f * static_cast<float>(Resolution().dpiY) / 96.0f) {}

HWND COvekProgress::Create(HWND parent, UINT id, const RECT& rect, DWORD style) {
    RegisterClass(kClassName, 0, ::LoadCursorW(nullptr, IDC_ARROW));
    HWND hwnd = CWindow::Create(kClassName, parent, L"", style | WS_CHILD, 0, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, id);
    UpdateAccessibleText();
    return hwnd;
}

void COvekProgress::SetPos(int position) {
    position_ = position;
    UpdateAccessibleText();
}

void COvekProgress::SetRange(int range) {
    range_ = range;
    UpdateAccessibleText();
}

void COvekProgress::SetColors(Color background, Color track, Color fill) {
    background_ = background;
    track_ = track;
    fill_ = fill;
}

// The window text is the share done, so a screen reader has something to say.
void COvekProgress::UpdateAccessibleText() {
    if (!Handle()) return;
    int percent = 0;
    if (range_ > 0 && position_ > 0) percent = position_ >= range_ ? 100 : static_cast<int>(100LL * position_ / range_);
    ::SetWindowTextW(Handle(), (DecimalText(percent) + L"%").c_str());
}

LRESULT COvekProgress::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) return 1;
    if (PaintOffscreen(Handle(), msg, wp, [&](CMemorySurface& s) { Draw(s.dc(), s.Bounds()); })) return 0;
    return DefaultProc(msg, wp, lp);
}

ComPtr<ID2D1Factory> COvekProgress::MakeFactory() { return CreateDrawingFactory(); }

HRESULT COvekProgress::FinishDrawing(ID2D1RenderTarget* target) { return target->EndDraw(); }

bool COvekProgress::EnsureDrawingObjects() {
    if (target_) return true;
    factory_ = MakeFactory();
    if (factory_) target_ = CreateDCRenderTarget(factory_.get());
    if (!target_) {
        factory_.reset();
        // Once per failure streak: a paint a second must not flood the debugger.
        if (!creationFailed_) ::OutputDebugStringW(L"COvekProgress: no Direct2D render target; bar not drawn\r\n");
        creationFailed_ = true;
        return false;
    }
    creationFailed_ = false;
    ++created_;
    return true;
}

void COvekProgress::Draw(HDC dc, const RECT& client) {
    // The background from GDI first, so a bar that Direct2D cannot draw
    // still leaves the panel's colour rather than a black hole.
    FillSolid(dc, client, background_);
    if (!EnsureDrawingObjects()) return;
    if (FAILED(target_->BindDC(dc, &client))) return;
    const ProgressShape s =
        ComputeProgressShape(client.right - client.left, client.bottom - client.top, bar_.right - bar_.left,
                             bar_.bottom - bar_.top, position_, range_, radiusX_, radiusY_);
    target_->BeginDraw();
    // The render target hands back its whole rectangle, so it paints the
    // background again rather than keep what GDI put there.
    target_->Clear(ToD2DColor(background_));
    target_->SetAntialiasMode(D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
    ComPtr<ID2D1SolidColorBrush> brush;
    if (SUCCEEDED(target_->CreateSolidColorBrush(ToD2DColor(track_), brush.put()))) {
        const float left = static_cast<float>(client.left) + s.left;
        const float top = static_cast<float>(client.top) + s.top;
        const D2D1_ROUNDED_RECT track = D2D1::RoundedRect(
            D2D1::RectF(left, top, left + (s.right - s.left), top + (s.bottom - s.top)), s.radiusX, s.radiusY);
        if (s.right > s.left && s.bottom > s.top) target_->FillRoundedRectangle(track, brush.get());
        if (s.hasFill) {
            // The rounded track cut by a straight edge: an axis-aligned clip
            // gives the intersection the platform's geometry cannot (Wine).
            brush->SetColor(ToD2DColor(fill_));
            target_->PushAxisAlignedClip(D2D1::RectF(left, top, static_cast<float>(client.left) + s.fillRight,
                                                     track.rect.bottom),
                                         D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
            target_->FillRoundedRectangle(track, brush.get());
            target_->PopAxisAlignedClip();
        }
    }
    brush.reset();
    if (FinishDrawing(target_.get()) == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) {
        target_.reset();
        factory_.reset();
    }
}

}  // namespace ovek
