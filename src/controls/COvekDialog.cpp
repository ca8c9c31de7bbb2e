#include "controls/COvekDialog.h"

#include <algorithm>
#include <string>

#include "controls/ImageCache.h"
#include "framework/Gdi.h"
#include "ui/Palette.h"
#include "ui/Scaling.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

FrameMetrics CurrentMetrics() {
    const ScreenResolution& r = Resolution();
    return FrameMetrics::ForResolution(r.dpiX, r.dpiY);
}

FrameBox BoxOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT RectOf(const FrameBox& b) { return {b.left, b.top, b.right, b.bottom}; }

POINT PointOf(LPARAM lp) {
    // Signed: on a second monitor left of the first, screen x is negative.
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

bool AnyState(const std::array<CaptionButton, kCaptionButtonCount>& buttons) {
    return std::any_of(buttons.begin(), buttons.end(),
                       [](const CaptionButton& b) { return b.hot || b.hover || b.pressed; });
}

struct ButtonLook {
    CaptionKind kind;
    Picture family;
    const wchar_t* name;
};
constexpr ButtonLook kLooks[kCaptionButtonCount] = {
    {kCaptionClose, Picture::Close, L"Close"},
    {kCaptionMaximize, Picture::Maximize, L"Maximize"},
    {kCaptionRestore, Picture::Restore, L"Restore"},
    {kCaptionMinimize, Picture::Minimize, L"Minimize"},
};

}  // namespace

COvekDialog::COvekDialog(HMODULE pictureModule) : pictureModule_(pictureModule) {
    const LOGFONTW lf = ThemeFontDescription(L"Arial", ScaleY(15), FW_NORMAL);
    captionFont_.reset(::CreateFontIndirectW(&lf));
}

COvekDialog::~COvekDialog() = default;

bool COvekDialog::HasMaximizeBox() const {
    return (::GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_MAXIMIZEBOX) != 0;
}

void COvekDialog::BuildCaptionButtons() {
    const FrameMetrics m = CurrentMetrics();
    const ThemePalette& palette = Palette();
    const bool maximizeBox = HasMaximizeBox();
    for (const ButtonLook& look : kLooks) {
        CaptionButton& b = buttons_[static_cast<size_t>(look.kind)];
        b = CaptionButton{};
        b.owner = Handle();
        b.kind = look.kind;
        b.name = look.name;
        b.picture = LoadResourcePicture(ThemePictureId(look.family), pictureModule_);
        if (b.picture) {
            b.pictureWidth = b.picture->width;
            b.pictureHeight = b.picture->height;
            b.frameCount = b.picture->frameCount;
            b.horizontalStrip = b.picture->horizontalStrip;
        }
        const bool close = look.kind == kCaptionClose;
        b.normalColor = palette.CaptionBackground;
        b.hoverColor = close ? palette.CloseHover : palette.CaptionButtonHover;
        b.pressedColor = close ? palette.ClosePressed : palette.CaptionButtonPressed;
        b.visible = look.kind == kCaptionRestore ? 0 : 1;
        // Without a maximize box, Maximize and Restore take no room at all.
        const bool present = maximizeBox || (look.kind != kCaptionMaximize && look.kind != kCaptionRestore);
        b.cell = CaptionCellAtOrigin(m, present);
        int frameWidth = 0, frameHeight = 0;
        FirstFrameSize(b.pictureWidth, b.pictureHeight, b.frameCount, b.horizontalStrip != 0, frameWidth,
                       frameHeight);
        b.pictureRect = CentredPictureRect(b.cell, frameWidth, frameHeight);
    }
    built_ = true;
    layoutPending_ = 1;
}

int COvekDialog::HitTest(POINT windowPoint) {
    // The pointer may come between a size change and the frame paint that
    // would lay the buttons out.
    EnsureLayout();
    return HitTestCaptionButtons(buttons_, windowPoint.x, windowPoint.y);
}

void COvekDialog::ClearStates() { ClearCaptionStates(buttons_); }

POINT COvekDialog::ScreenToWindow(LPARAM screenPoint) const {
    POINT pt = PointOf(screenPoint);
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    return {pt.x - window.left, pt.y - window.top};
}

POINT COvekDialog::ClientToWindow(LPARAM clientPoint) const {
    POINT pt = PointOf(clientPoint);
    ::ClientToScreen(Handle(), &pt);
    return ScreenToWindow(MAKELPARAM(pt.x, pt.y));
}

LRESULT COvekDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCCREATE: {
        const LRESULT result = DefaultProc(msg, wp, lp);
        BuildCaptionButtons();
        return result;
    }
    case WM_NCCALCSIZE:
        return OnNcCalcSize(wp, lp);
    case WM_NCHITTEST:
        return OnNcHitTest(wp, lp);
    case WM_NCPAINT:
        RepaintFrame();
        return 0;
    case WM_NCACTIVATE:
        // Handled here so that the platform never draws its own caption.
        return TRUE;
    case WM_SETTEXT:
    case WM_SETICON: {
        // The platform paints its own caption straight away for these on a
        // window with a caption; ours goes over it again.
        const LRESULT result = DefaultProc(msg, wp, lp);
        RepaintFrame();
        return result;
    }
    case WM_ERASEBKGND: {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        FillSolid(reinterpret_cast<HDC>(wp), client, Palette().WindowBackground);
        return 1;
    }
    case WM_SIZE: {
        const LRESULT result = DefaultProc(msg, wp, lp);
        OnSize();
        return result;
    }
    case WM_NCMOUSEMOVE:
        return OnNcMouseMove(msg, wp, lp, ScreenToWindow(lp));
    case WM_NCMOUSELEAVE:
        OnNcMouseLeave();
        return 0;
    case WM_NCLBUTTONDOWN:
        return OnNcButtonDown(msg, wp, lp, ScreenToWindow(lp));
    case WM_NCLBUTTONUP:
        OnButtonUp(ScreenToWindow(lp));
        return 0;
    case WM_NCLBUTTONDBLCLK:
        return OnNcDoubleClick(msg, wp, lp, ScreenToWindow(lp));
    // While a caption button is held the window has the capture, so the
    // pointer arrives as client messages wherever it goes.
    case WM_MOUSEMOVE:
        if (pressing_) return OnNcMouseMove(msg, wp, lp, ClientToWindow(lp));
        break;
    case WM_LBUTTONUP:
        if (pressing_) {
            OnButtonUp(ClientToWindow(lp));
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (pressing_ && reinterpret_cast<HWND>(lp) != Handle()) {
            // Another window took the pointer: the press is over, unanswered.
            pressing_ = 0;
            pressedKind_ = -1;
            ClearStates();
            RepaintFrame();
        }
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wp, lp);
}

LRESULT COvekDialog::OnNcCalcSize(WPARAM wp, LPARAM lp) {
    if (!built_) BuildCaptionButtons();
    const bool zoomed = ::IsZoomed(Handle()) != FALSE;
    // With the flag the proposed window rectangle is the first of three;
    // without it the one rectangle: both become the client rectangle.
    RECT* proposed = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
    if (proposed) *proposed = RectOf(ClientBoxOf(BoxOf(*proposed), zoomed, CurrentMetrics()));
    buttons_[kCaptionMaximize].visible = zoomed ? 0 : 1;
    buttons_[kCaptionRestore].visible = zoomed ? 1 : 0;
    layoutPending_ = 1;
    return 0;
}

LRESULT COvekDialog::OnNcHitTest(WPARAM wp, LPARAM lp) {
    const LRESULT platform = DefaultProc(WM_NCHITTEST, wp, lp);
    RECT windowRect{};
    ::GetWindowRect(Handle(), &windowRect);
    const FrameBox window{0, 0, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    const FrameBox client = ClientBoxOf(window, ::IsZoomed(Handle()) != FALSE, CurrentMetrics());
    const POINT pt = ScreenToWindow(lp);
    if (client.Contains(pt.x, pt.y)) return platform;
    // The platform measures its own caption, which is not ours: our whole
    // strip moves the window, and the caption buttons are drawn and pressed
    // by us alone (the platform would track and paint its own).
    if (window.Contains(pt.x, pt.y) && pt.y < client.top) {
        if (platform == HTTOP || platform == HTTOPLEFT || platform == HTTOPRIGHT) return platform;
        return HTCAPTION;
    }
    switch (platform) {
    case HTCAPTION:
    case HTSYSMENU:
    case HTMENU:
    case HTCLOSE:
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTHELP:
        return HTBORDER;
    default:
        return platform;
    }
}

void COvekDialog::OnSize() {
    RECT windowRect{};
    ::GetWindowRect(Handle(), &windowRect);
    RECT r{0, 0, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    if (::IsZoomed(Handle())) {
        r.left += kMaximizedInset;
        r.right -= kMaximizedInset;
        r.bottom -= kMaximizedInset;
    }
    UniqueRegion region(::CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, 0, 0));
    // The window owns the region once it is set.
    if (region && ::SetWindowRgn(Handle(), region.get(), TRUE)) region.release();
    RECT client{};
    ::GetClientRect(Handle(), &client);
    LayoutClient(client);
}

LRESULT COvekDialog::OnNcMouseMove(UINT msg, WPARAM wp, LPARAM lp, POINT pt) {
    if (!tracking_ && !pressing_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, Handle(), 1};
        tracking_ = ::TrackMouseEvent(&track) ? 1 : 0;
    }
    const int hit = HitTest(pt);
    if (pressing_) {
        // A held button answers only to itself, drawn pressed while the
        // pointer is on it; no other button lights up until the release.
        const bool onPressed = hit >= 0 && hit == pressedKind_;
        if (onPressed && !Button(hit).pressed) {
            ClearStates();
            CaptionButton& b = Button(hit);
            if (b.visible) b.hot = 1;
            b.hover = 1;
            b.pressed = 1;
            RepaintFrame();
        } else if (!onPressed && AnyState(buttons_)) {
            ClearStates();
            RepaintFrame();
        }
        return 0;
    }
    if (hit < 0) {
        // Nothing to take off the screen when nothing was lit.
        if (AnyState(buttons_)) {
            ClearStates();
            RepaintFrame();
        }
        return 0;
    }
    const bool fromClient = msg == WM_MOUSEMOVE;
    if (HotCaptionButton(buttons_) == hit) return fromClient ? 0 : DefaultProc(msg, wp, lp);
    ClearStates();
    CaptionButton& b = Button(hit);
    if (b.visible) b.hot = 1;
    b.hover = 1;
    RepaintFrame();
    return fromClient ? 0 : DefaultProc(msg, wp, lp);
}

void COvekDialog::OnNcMouseLeave() {
    tracking_ = 0;
    if (pressing_ || !AnyState(buttons_)) return;
    ClearStates();
    RepaintFrame();
}

LRESULT COvekDialog::OnNcButtonDown(UINT msg, WPARAM wp, LPARAM lp, POINT pt) {
    const bool wasLit = AnyState(buttons_);
    ClearStates();
    const int hit = HitTest(pt);
    if (hit >= 0) {
        pressing_ = 1;
        pressedKind_ = hit;
        CaptionButton& b = Button(hit);
        if (b.visible) b.hot = 1;
        b.pressed = 1;
        // Holding the pointer lets the release (or its absence) be seen
        // wherever it happens, so no button stays drawn pressed.
        ::SetCapture(Handle());
        RepaintFrame();
        return 0;
    }
    if (wasLit) RepaintFrame();
    if (wp == HTCAPTION || (wp >= HTLEFT && wp <= HTBOTTOMRIGHT)) return DefaultProc(msg, wp, lp);
    return 0;
}

void COvekDialog::OnButtonUp(POINT pt) {
    pressing_ = 0;
    pressedKind_ = -1;
    const FrameCommand command = ReleaseCommand(HitTest(pt), HotCaptionButton(buttons_), HasMaximizeBox());
    if (::GetCapture() == Handle()) ::ReleaseCapture();
    ClearStates();
    RepaintFrame();
    // Last: closing may end the window.
    switch (command) {
    case FrameCommand::Close:
        ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case FrameCommand::Minimize:
        ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case FrameCommand::Maximize:
        ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        break;
    case FrameCommand::Restore:
        ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
        break;
    case FrameCommand::None:
        break;
    }
}

LRESULT COvekDialog::OnNcDoubleClick(UINT, WPARAM, LPARAM, POINT pt) {
    const FrameCommand command =
        DoubleClickCommand(HitTest(pt) >= 0, HasMaximizeBox(), ::IsZoomed(Handle()) != FALSE);
    if (command == FrameCommand::Maximize) ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    if (command == FrameCommand::Restore) ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    return 0;
}

void COvekDialog::RepaintFrame() {
    if (!Handle() || Destroyed()) return;
    CWindowDC dc(Handle(), CWindowDC::Whole);
    if (!dc) return;
    ++frameRepaints_;
    DrawFrame(dc.get());
}

void COvekDialog::EnsureLayout() {
    if (!built_) BuildCaptionButtons();
    const bool zoomed = ::IsZoomed(Handle()) != FALSE;
    buttons_[kCaptionMaximize].visible = zoomed ? 0 : 1;
    buttons_[kCaptionRestore].visible = zoomed ? 1 : 0;
    if (!layoutPending_) return;
    RECT windowRect{};
    ::GetWindowRect(Handle(), &windowRect);
    FrameBox workArea = BoxOf(windowRect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor))
        workArea = BoxOf(monitor.rcWork);
    const Overhang overhang = MaximizedOverhang(BoxOf(windowRect), workArea, zoomed);
    const FrameBox window{0, 0, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    LayoutCaptionButtons(buttons_, window, overhang, CurrentMetrics());
    layoutPending_ = 0;
}

void COvekDialog::DrawFrame(HDC target) {
    const FrameMetrics m = CurrentMetrics();
    const ThemePalette& palette = Palette();
    RECT windowRect{};
    ::GetWindowRect(Handle(), &windowRect);
    const int width = windowRect.right - windowRect.left;
    const int height = windowRect.bottom - windowRect.top;
    if (width <= 0 || height <= 0) return;
    const bool zoomed = ::IsZoomed(Handle()) != FALSE;
    EnsureLayout();

    // The client area is the client's to paint.
    const FrameBox client = ClientBoxOf(FrameBox{0, 0, width, height}, zoomed, m);
    ::ExcludeClipRect(target, client.left, client.top, client.right, client.bottom);

    CMemorySurface surface(target, width, height);
    if (!surface) return;
    HDC dc = surface.dc();
    FillSolid(dc, surface.Bounds(), palette.CaptionBackground);
    FillSolid(dc, RECT{0, 0, width, m.pixelY}, palette.FrameBorder);
    FillSolid(dc, RECT{0, height - m.pixelY, width, height}, palette.FrameBorder);
    FillSolid(dc, RECT{0, 0, m.pixelX, height}, palette.FrameBorder);
    FillSolid(dc, RECT{width - m.pixelX, 0, width, height}, palette.FrameBorder);

    int leftmostButton = width;
    {
        UniqueMemoryDC pictureDC(::CreateCompatibleDC(dc));
        for (CaptionButton& b : buttons_) {
            if (!b.visible || !b.picture || !b.picture->bitmap || b.cell.Empty()) continue;
            leftmostButton = std::min(leftmostButton, b.cell.left);
            const CaptionFill fill = CaptionFillOf(b);
            const COLORREF color = fill == CaptionFill::Pressed ? b.pressedColor
                                   : fill == CaptionFill::Hover ? b.hoverColor
                                                                : b.normalColor;
            FillSolid(dc, RectOf(b.cell), color);
            if (!pictureDC) continue;
            CSelectObject picture(pictureDC.get(), b.picture->bitmap.get());
            BLENDFUNCTION blend = b.blend;
            blend.SourceConstantAlpha = b.disabled ? 50 : 255;
            ::AlphaBlend(dc, b.pictureRect.left, b.pictureRect.top, b.pictureRect.Width(), b.pictureRect.Height(),
                         pictureDC.get(), 0, 0, b.pictureRect.Width(), b.pictureRect.Height(), blend);
        }
    }

    if (captionTitle) {
        const auto icon = reinterpret_cast<HICON>(::SendMessageW(Handle(), WM_GETICON, ICON_BIG, 0));
        const int length = ::GetWindowTextLengthW(Handle());
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(Handle(), text.data(), length + 1)));
        CSelectObject font(dc, captionFont_.get());
        SIZE extent{};
        if (!text.empty()) ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        const CaptionTitleLayout title = LayoutCaptionTitle(width, icon != nullptr, extent.cy, m);
        if (icon)
            ::DrawIconEx(dc, title.icon.left, title.icon.top, icon, title.icon.Width(), title.icon.Height(), 0,
                         nullptr, DI_NORMAL);
        if (!text.empty()) {
            RECT textRect = RectOf(title.text);
            // A long title ends in an ellipsis before the buttons, never under them.
            textRect.right = std::min<LONG>(textRect.right, leftmostButton);
            ::SetTextColor(dc, palette.LightText);
            ::SetBkMode(dc, TRANSPARENT);
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                        DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_WORD_ELLIPSIS);
        }
    }

    ::GdiFlush();
    surface.CopyTo(target, 0, 0);
}

}  // namespace ovek
