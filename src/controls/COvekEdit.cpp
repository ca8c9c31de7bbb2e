#include "controls/COvekEdit.h"

#include "framework/Gdi.h"

namespace ovek {
namespace {

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }
bool ShortcutState() { return KeyDown(VK_CONTROL) && !KeyDown(VK_SHIFT); }

}  // namespace

COvekEdit::COvekEdit() : idleFrame_(Rgb(73, 90, 105)), activeFrame_(Rgb(54, 138, 211)), background_(Rgb(20, 26, 32)),
                         text_(Rgb(255, 255, 255)), brush_(::CreateSolidBrush(Rgb(20, 26, 32))) {}

bool COvekEdit::Bind(HWND dialog, int id) {
    if (!SubclassDlgItem(dialog, id)) return false;
    const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
    ::SetWindowLongPtrW(Handle(), GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER));
    const LONG_PTR exStyle = ::GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    ::SetWindowLongPtrW(Handle(), GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void COvekEdit::SetColors(Color idleFrame, Color activeFrame, Color background, Color text) {
    idleFrame_ = idleFrame;
    activeFrame_ = activeFrame;
    text_ = text;
    if (background != background_ || !brush_) {
        background_ = background;
        brush_.reset(::CreateSolidBrush(background));
    }
    if (Handle()) ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

bool COvekEdit::ReflectColor(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return false;
    auto* edit = dynamic_cast<COvekEdit*>(CWindow::FromHandle(reinterpret_cast<HWND>(lp)));
    if (!edit) return false;
    result = edit->OnColor(reinterpret_cast<HDC>(wp));
    return true;
}

LRESULT COvekEdit::OnColor(HDC dc) {
    const bool grey = !::IsWindowEnabled(Handle()) || !Writable();
    ::SetTextColor(dc, grey ? ::GetSysColor(COLOR_GRAYTEXT) : text_);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetBkColor(dc, background_);
    return reinterpret_cast<LRESULT>(brush_.get());
}

bool COvekEdit::Writable() const { return (::GetWindowLongPtrW(Handle(), GWL_STYLE) & ES_READONLY) == 0; }

void COvekEdit::SelectAll() { ::SendMessageW(Handle(), EM_SETSEL, 0, -1); }

void COvekEdit::CaretToEnd() {
    const int length = ::GetWindowTextLengthW(Handle());
    ::SendMessageW(Handle(), EM_SETSEL, length, length);
}

std::wstring COvekEdit::Text() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(Handle())) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void COvekEdit::RedrawFrame() { ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE); }

void COvekEdit::PaintFrame() {
    CWindowDC dc(Handle(), CWindowDC::Whole);
    if (!dc) return;
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::OffsetRect(&client, -window.left, -window.top);

    FillSolid(dc.get(), RECT{1, 0, width - 1, client.top}, background_);
    FillSolid(dc.get(), RECT{1, client.bottom, width - 1, height}, background_);
    const bool activeLook = active_ && ::IsWindowEnabled(Handle()) && Writable();
    UniqueBrush frame(::CreateSolidBrush(activeLook ? activeFrame_ : idleFrame_));
    const RECT whole{0, 0, width, height};
    ::FrameRect(dc.get(), &whole, frame.get());
}

bool COvekEdit::ShortcutKey(WPARAM key) {
    switch (key) {
    case 'A':
        SelectAll();
        return true;
    case 'X':
        ::SendMessageW(Handle(), WM_CUT, 0, 0);
        return true;
    case 'C':
        ::SendMessageW(Handle(), WM_COPY, 0, 0);
        return true;
    case 'V':
        if (pasteAllowed) ::SendMessageW(Handle(), WM_PASTE, 0, 0);
        return true;
    default:
        return false;
    }
}

LRESULT COvekEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCCALCSIZE: {
        const LRESULT r = DefaultProc(msg, wp, lp);
        RECT* rect = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
        TEXTMETRICW tm{};
        {
            CWindowDC dc(Handle());
            if (dc) {
                CSelectObject select(dc.get(), reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0)));
                ::GetTextMetricsW(dc.get(), &tm);
            }
        }
        rect->left += 1;
        rect->right -= 1;
        const int inset = EditLineInset(rect->bottom - rect->top, tm.tmExternalLeading, tm.tmHeight);
        rect->top += inset;
        rect->bottom -= inset;
        if (rect->right < rect->left) rect->right = rect->left;
        return r;
    }
    case WM_NCPAINT: {
        const LRESULT r = DefaultProc(msg, wp, lp);
        PaintFrame();
        return r;
    }
    case WM_SETFONT: {
        const LRESULT r = DefaultProc(msg, wp, lp);
        ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return r;
    }
    case WM_ENABLE:
    case EM_SETREADONLY: {
        const LRESULT r = DefaultProc(msg, wp, lp);
        ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
        return r;
    }
    case WM_GETDLGCODE: {
        LRESULT code = DefaultProc(msg, wp, lp);
        // The numeric modes answer Enter themselves.
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        if (mode_ != EditMode::Text && m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_LBUTTONDOWN: {
        ::SetCapture(Handle());
        if (!active_ && ::IsWindowEnabled(Handle()) && Writable()) {
            ::SetFocus(Handle());
            SelectAll();
        } else {
            DefaultProc(msg, wp, lp);  // the platform places the caret
        }
        active_ = 1;
        RedrawFrame();
        cachedText_ = Text();
        return 0;
    }
    case WM_LBUTTONUP:
        if (::GetCapture() == Handle()) ::ReleaseCapture();
        return DefaultProc(msg, wp, lp);
    case WM_RBUTTONDOWN:
        if (active_ || !::IsWindowEnabled(Handle()) || !Writable())
            CaretToEnd();
        else
            SelectAll();
        ::SetFocus(Handle());
        active_ = 1;
        RedrawFrame();
        return 0;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
        return 0;  // no context menu
    case WM_KEYDOWN:
        if (ShortcutState() && ShortcutKey(wp)) return 0;
        if (mode_ != EditMode::Text) {
            if (wp == VK_UP || wp == VK_DOWN) {
                const std::wstring next = SteppedNumber(mode_, numeric, Text(), wp == VK_UP ? 1 : -1);
                ::SetWindowTextW(Handle(), next.c_str());
                CaretToEnd();
                return 0;
            }
            if (wp == VK_RETURN) {
                ::PostMessageW(::GetParent(Handle()), kEditEnterMessage, reinterpret_cast<WPARAM>(Handle()), 0);
                return 0;
            }
        } else if (wp == VK_RETURN) {
            const LRESULT r = DefaultProc(msg, wp, lp);
            CaretToEnd();
            return r;
        }
        break;
    case WM_CHAR:
        // The control characters of the shortcuts above: the platform would
        // act on them a second time.
        if ((wp == 0x01 || wp == 0x03 || wp == 0x16 || wp == 0x18) && ShortcutState()) return 0;
        if (mode_ != EditMode::Text && wp >= L' ') {
            DWORD start = 0;
            ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
            if (!AcceptsNumericChar(mode_, numeric, Text(), static_cast<wchar_t>(wp), start)) return 0;
        }
        if (mode_ != EditMode::Text && wp == L'\r') return 0;
        break;
    case WM_KILLFOCUS: {
        active_ = 0;
        const LRESULT r = DefaultProc(msg, wp, lp);
        if (mode_ == EditMode::Decimal && numeric.thousandsSeparators)
            ::SetWindowTextW(Handle(), WithThousandsSeparators(Text()).c_str());
        RedrawFrame();
        return r;
    }
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace ovek
