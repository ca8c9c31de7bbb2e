#include "controls/COvekStatic.h"

#include "framework/Gdi.h"
#include "ui/Scaling.h"
#include "ui/Theme.h"

namespace ovek {

bool COvekStatic::Bind(HWND dialog, int id) {
    if (!SubclassDlgItem(dialog, id)) return false;
    const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
    ::SetWindowLongPtrW(Handle(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | SS_OWNERDRAW);
    ::InvalidateRect(Handle(), nullptr, FALSE);
    return true;
}

void COvekStatic::SetText(const std::wstring& text) {
    text_ = text;
    if (!Handle()) return;
    ::SetWindowTextW(Handle(), text.c_str());
    ::InvalidateRect(Handle(), nullptr, FALSE);
    ::UpdateWindow(Handle());
}

void COvekStatic::SetColors(Color background, Color text, Color alternateText) {
    background_ = background;
    textColor_ = text;
    alternateColor_ = alternateText;
}

void COvekStatic::SetLink(bool on) {
    link_ = on ? 1 : 0;
    if (on && Handle()) {
        const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
        ::SetWindowLongPtrW(Handle(), GWL_STYLE, style | SS_NOTIFY);
    }
}

void COvekStatic::Draw(HDC dc, const RECT& r) {
    FillSolid(dc, r, background_);
    if (!text_.empty()) {
        ::SetBkMode(dc, TRANSPARENT);
        UniqueFont fallback;
        HFONT font = font_;
        if (!font) {
            LOGFONTW lf = ThemeFontDescription(L"Arial", UnsteppedX(14), FW_NORMAL);
            fallback.reset(::CreateFontIndirectW(&lf));
            font = fallback.get();
        }
        CSelectObject selectFont(dc, font);
        ::SetTextColor(dc, alternate_ ? alternateColor_ : textColor_);
        RECT box = r;
        ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &box, format_);
    }
    if (link_ && focused_) {
        RECT cue = r;
        ::InflateRect(&cue, -2, -2);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &cue);
    }
}

LRESULT COvekStatic::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (PaintOffscreen(Handle(), msg, wp, [&](CMemorySurface& s) { Draw(s.dc(), s.Bounds()); })) return 0;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (link_) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_SETFOCUS:
        focused_ = 1;
        if (::GetFocus() != Handle()) ::SetFocus(Handle());
        ::InvalidateRect(Handle(), nullptr, FALSE);
        ::UpdateWindow(Handle());
        return 0;
    case WM_KILLFOCUS:
        focused_ = 0;
        ::InvalidateRect(Handle(), nullptr, FALSE);
        ::UpdateWindow(Handle());
        return 0;
    case WM_KEYDOWN:
        // A link reached with the keyboard opens with Space, as a click would.
        if (link_ && wp == VK_SPACE && !(lp & (1 << 30))) {
            ::PostMessageW(::GetParent(Handle()), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(Handle()), STN_CLICKED),
                           reinterpret_cast<LPARAM>(Handle()));
            return 0;
        }
        break;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace ovek
