#include "controls/COvekTextButton.h"

#include <windowsx.h>

#include "controls/COvekButton.h"
#include "controls/COvekButtonRules.h"
#include "framework/Direct2D.h"
#include "framework/Gdi.h"
#include "ui/Scaling.h"

namespace ovek {
namespace {

// A template button keeps its own procedure for everything we pass on; made
// owner-drawn, anything it paints by itself goes to the parent as
// WM_DRAWITEM instead of over our face.
void MakeOwnerDrawnIfButton(HWND hwnd) {
    wchar_t cls[16]{};
    if (!::GetClassNameW(hwnd, cls, 16) || ::lstrcmpiW(cls, L"Button") != 0) return;
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    if ((style & BS_TYPEMASK) != BS_OWNERDRAW)
        ::SetWindowLongPtrW(hwnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

COvekTextButton::COvekTextButton() {
    const ThemePalette& p = Palette();
    surround = p.WindowBackground;
    faceColors[0] = p.ButtonDisabled;
    faceColors[1] = p.ButtonFace;
    faceColors[2] = p.ButtonHover;
    faceColors[3] = p.ButtonPressed;
    textColors[0] = p.ButtonTextDisabled;
    textColors[1] = textColors[2] = textColors[3] = p.ButtonText;
    radiusX_ = UnsteppedX(4);
    radiusY_ = UnsteppedY(4);
}

COvekTextButton::~COvekTextButton() = default;

bool COvekTextButton::Bind(HWND dialog, int id) {
    if (!SubclassDlgItem(dialog, id)) return false;
    MakeOwnerDrawnIfButton(Handle());
    caption_ = WindowText(Handle());
    enabled_ = ::IsWindowEnabled(Handle()) ? 1 : 0;
    ::InvalidateRect(Handle(), nullptr, FALSE);
    return true;
}

void COvekTextButton::SetCaption(const std::wstring& text) {
    if (Handle())
        ::SetWindowTextW(Handle(), text.c_str());  // WM_SETTEXT keeps caption_ and name together
    else
        caption_ = text;
}

void COvekTextButton::SetEnabled(bool enabled) {
    const int value = enabled ? 1 : 0;
    const bool changed = value != enabled_;
    enabled_ = value;
    ClearInteraction();
    if (!Handle()) return;
    // The window's own state is what the keyboard and screen readers see.
    if ((::IsWindowEnabled(Handle()) != FALSE) != enabled) ::EnableWindow(Handle(), enabled);
    if (changed) RepaintNow();
}

void COvekTextButton::ClearInteraction() {
    if (press_.captured && Handle() && ::GetCapture() == Handle()) {
        press_.captured = 0;
        ::ReleaseCapture();
    }
    press_.Clear();
    hover_ = tracking_ = 0;
}

void COvekTextButton::RepaintNow() {
    ::InvalidateRect(Handle(), nullptr, FALSE);
    ::UpdateWindow(Handle());
}

void COvekTextButton::Click() {
    const int id = ::GetDlgCtrlID(Handle());
    ::PostMessageW(::GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Handle()));
}

ComPtr<ID2D1Factory> COvekTextButton::MakeDrawingFactory() { return CreateDrawingFactory(); }
ComPtr<ID2D1DCRenderTarget> COvekTextButton::MakeRenderTarget(ID2D1Factory* factory) {
    return CreateDCRenderTarget(factory);
}
ComPtr<IDWriteFactory> COvekTextButton::MakeTextFactory() { return CreateTextFactory(); }

bool COvekTextButton::EnsureDrawingObjects() {
    if (!factory_) {
        factory_ = MakeDrawingFactory();
        if (!factory_) {
            Trace(L"Failed to cread Direct2D Factory");
            return false;
        }
    }
    if (!target_) {
        target_ = MakeRenderTarget(factory_.get());
        if (!target_) {
            Trace(L"Failed to cread Direct2D Render Target");
            return false;
        }
        brush_.reset();
    }
    if (!brush_ && FAILED(target_->CreateSolidColorBrush(ToD2DColor(surround), brush_.put()))) {
        brush_.reset();
        return false;
    }
    if (!textFactory_) {
        textFactory_ = MakeTextFactory();
        if (!textFactory_) {
            Trace(L"Failed to cread Direct2D Write Factory");
            return false;
        }
    }
    if (!format_) {
        const float size = static_cast<float>(UnsteppedY(14));
        if (FAILED(textFactory_->CreateTextFormat(L"Tahoma", nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                                                  DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, size, L"",
                                                  format_.put()))) {
            format_.reset();
            return false;
        }
        if (FAILED(format_->SetWordWrapping(DWRITE_WORD_WRAPPING_WHOLE_WORD)))
            format_->SetWordWrapping(DWRITE_WORD_WRAPPING_WRAP);
        format_->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_CENTER);
    }
    return true;
}

void COvekTextButton::ReleaseDrawingObjects() {
    format_.reset();
    textFactory_.reset();
    brush_.reset();
    target_.reset();
    factory_.reset();
}

void COvekTextButton::Draw(HDC dc, const RECT& box) {
    if (!EnsureDrawingObjects()) return;
    if (FAILED(target_->BindDC(dc, &box))) return;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const auto look = static_cast<int>(TextButtonLook(enabled_ != 0, hover_ != 0, press_.pressed != 0));

    target_->BeginDraw();
    target_->SetTransform(D2D1::Matrix3x2F::Identity());
    target_->Clear(ToD2DColor(surround));
    brush_->SetColor(ToD2DColor(faceColors[look]));
    const D2D1_ROUNDED_RECT face{D2D1::RectF(0, 0, static_cast<float>(width), static_cast<float>(height)),
                                 FaceRadius(radiusX_, width), FaceRadius(radiusY_, height)};
    target_->FillRoundedRectangle(face, brush_.get());

    if (!caption_.empty()) {
        ComPtr<IDWriteTextLayout> layout;
        if (SUCCEEDED(textFactory_->CreateTextLayout(caption_.c_str(), static_cast<UINT32>(caption_.size()),
                                                     format_.get(), static_cast<float>(width),
                                                     static_cast<float>(height), layout.put()))) {
            DWRITE_TEXT_METRICS metrics{};
            DWRITE_OVERHANG_METRICS overhang{};
            layout->GetMetrics(&metrics);
            layout->GetOverhangMetrics(&overhang);
            const int ink = InkedHeight({metrics.top, metrics.height, metrics.layoutHeight, overhang.top,
                                         overhang.bottom});
            brush_->SetColor(ToD2DColor(textColors[look]));
            // The render target's origin is the box's top-left corner.
            target_->DrawTextLayout(D2D1::Point2F(0, static_cast<float>(CentredCaptionTop(0, height, ink))),
                                    layout.get(), brush_.get());
        }
    }
    if (FinishDrawing(target_.get()) == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) {
        ReleaseDrawingObjects();
        return;
    }
    // The keyboard focus, inside the face; the mouse-driven look is unchanged
    // because the dialog manager hides focus cues until the keyboard is used.
    if (::GetFocus() == Handle() && FocusCueVisible(Handle())) {
        RECT cue = box;
        ::InflateRect(&cue, -ScaleX(3), -ScaleY(3));
        const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &cue);
        ::SetTextColor(dc, oldText);
        ::SetBkColor(dc, oldBack);
    }
}

LRESULT COvekTextButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (PaintOffscreen(Handle(), msg, wp, [&](CMemorySurface& s) { Draw(s.dc(), s.Bounds()); })) return 0;
    LRESULT pressResult = 0;
    if (press_.Handle(Handle(), msg, wp, lp, enabled_ != 0, [this] { Click(); }, pressResult)) return pressResult;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_GETDLGCODE:
        // A plain button to the dialog manager: never made the default
        // button, so Enter keeps meaning what the panel says.
        return DLGC_BUTTON;
    case WM_SETTEXT: {
        caption_ = lp ? reinterpret_cast<const wchar_t*>(lp) : L"";
        const LRESULT r = ::DefWindowProcW(Handle(), msg, wp, lp);
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return r;
    }
    case WM_ENABLE:
        if ((wp != 0) != (enabled_ != 0)) {
            enabled_ = wp ? 1 : 0;
            ClearInteraction();
        }
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_MOUSEMOVE:
        if (enabled_ && !tracking_) {
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, Handle(), 0};
            if (::TrackMouseEvent(&tme)) {
                tracking_ = 1;
                hover_ = 1;
                RepaintNow();
            }
        }
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = 0;
        hover_ = 0;
        RepaintNow();
        return 0;
    case WM_SETFOCUS:
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_UPDATEUISTATE: {
        const LRESULT r = DefaultProc(msg, wp, lp);
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return r;
    }
    case BM_SETSTATE:
    case BM_SETSTYLE:
        return 0;  // our look follows our own state only
    case WM_DESTROY:
        ReleaseDrawingObjects();
        break;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace ovek
