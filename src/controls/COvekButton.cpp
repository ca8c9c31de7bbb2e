#include "controls/COvekButton.h"

#include <windowsx.h>

#include "controls/COvekButtonRules.h"
#include "framework/Gdi.h"
#include "ui/Theme.h"

namespace ovek {

bool COvekButton::Bind(HWND dialog, int id) {
    if (!SubclassDlgItem(dialog, id)) return false;
    const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
    ::SetWindowLongPtrW(Handle(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(Handle(), nullptr, FALSE);
    return true;
}

void COvekButton::SetColors(Color normal, Color hover, Color pressed, Color border, const std::wstring& caption) {
    normal_ = normal;
    hover_color_ = hover;
    pressed_color_ = pressed;
    border_ = border;
    caption_ = caption;
    picture_ = nullptr;
    frameCount_ = 0;
    // A caption is what the button says; without one the window text (the
    // template's, or the owner's) stays the name a screen reader reads.
    if (Handle() && !caption.empty()) ::SetWindowTextW(Handle(), caption.c_str());
}

void COvekButton::SetPicture(HBITMAP bitmap, SIZE size, int frameCount, bool horizontalStrip) {
    picture_ = bitmap;
    pictureSize_ = size;
    frameCount_ = bitmap ? frameCount : 0;
    horizontalStrip_ = horizontalStrip ? 1 : 0;
}

void COvekButton::Click() {
    const int id = ::GetDlgCtrlID(Handle());
    ::PostMessageW(::GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Handle()));
}

void COvekButton::Draw(HDC dc, const RECT& r) {
    FillSolid(dc, r, normal_);
    if (hover_ || press_.pressed) {
        const Color fill = press_.pressed ? pressed_color_ : hover_color_;
        UniquePen pen(::CreatePen(PS_SOLID, 1, border_));
        UniqueBrush brush(::CreateSolidBrush(fill));
        CSelectObject selectPen(dc, pen.get());
        CSelectObject selectBrush(dc, brush.get());
        ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    }
    const CellPlacement frame = FirstFrameInCell(r.right - r.left, r.bottom - r.top, pictureSize_.cx,
                                                 pictureSize_.cy, frameCount_, horizontalStrip_ != 0);
    if (picture_ && frame.width > 0) {
        UniqueMemoryDC source(::CreateCompatibleDC(dc));
        if (source) {
            CSelectObject select(source.get(), picture_);
            const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            ::AlphaBlend(dc, r.left + frame.x, r.top + frame.y, frame.width, frame.height, source.get(), 0, 0,
                         frame.width, frame.height, blend);
        }
    }
    if (!caption_.empty()) {
        CSelectObject selectFont(dc, Fonts().tahoma18);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, Palette().TitleText);
        RECT text = r;
        ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_WORD_ELLIPSIS);
    }
    // The keyboard focus, on the cell's edge so the picture stays whole.
    if (::GetFocus() == Handle() && FocusCueVisible(Handle())) {
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &r);
    }
}

LRESULT COvekButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (PaintOffscreen(Handle(), msg, wp, [&](CMemorySurface& s) { Draw(s.dc(), s.Bounds()); })) return 0;
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        // A press takes the focus within the dialog first.
        HWND parent = ::GetParent(Handle());
        if (parent && ::GetFocus() != Handle()) ::SendMessageW(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Handle()), TRUE);
        if (::GetFocus() != Handle()) ::SetFocus(Handle());
    }
    // The platform button would click on release by itself; the press and
    // release are ours alone so that exactly one click is posted.
    LRESULT pressResult = 0;
    if (press_.Handle(Handle(), msg, wp, lp, true, [this] { Click(); }, pressResult)) return pressResult;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_GETDLGCODE:
        return DLGC_BUTTON;  // never the dialog's default button
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT tme{sizeof(tme), TME_HOVER | TME_LEAVE, Handle(), 1};
            tracking_ = ::TrackMouseEvent(&tme) ? 1 : 0;
        }
        break;
    case WM_MOUSEHOVER:
        tracking_ = 1;
        hover_ = 1;
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = 0;
        hover_ = 0;
        ::InvalidateRect(Handle(), nullptr, FALSE);
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
        return 0;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace ovek
