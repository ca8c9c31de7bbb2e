#include "controls/COvekComboBox.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "controls/ComboGeometry.h"
#include "controls/ImageCache.h"
#include "framework/Gdi.h"
#include "ui/Scaling.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

std::wstring ItemText(HWND combo, int index) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length <= 0) return {};
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    if (copied == CB_ERR) return {};
    return std::wstring(text.data(), static_cast<size_t>(copied));
}

void FrameSolid(HDC dc, const RECT& r, COLORREF color) {
    FillSolid(dc, RECT{r.left, r.top, r.right, r.top + 1}, color);
    FillSolid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, color);
    FillSolid(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, color);
    FillSolid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, color);
}

int FontHeight(HDC dc, HFONT font) {
    CSelectObject select(dc, font);
    TEXTMETRICW tm{};
    return ::GetTextMetricsW(dc, &tm) ? tm.tmHeight : 0;
}

bool KeyToSelection(WPARAM key, combo::SelectionKey& out) {
    switch (key) {
        case VK_UP: case VK_LEFT: out = combo::SelectionKey::Up; return true;
        case VK_DOWN: case VK_RIGHT: out = combo::SelectionKey::Down; return true;
        case VK_HOME: out = combo::SelectionKey::Home; return true;
        case VK_END: out = combo::SelectionKey::End; return true;
        case VK_PRIOR: out = combo::SelectionKey::PageUp; return true;
        case VK_NEXT: out = combo::SelectionKey::PageDown; return true;
        default: return false;
    }
}

}  // namespace

// ---------------------------------------------------------------- edit part

bool COvekComboBox_Edit::IsReadOnly() const {
    return Handle() && (::GetWindowLongW(Handle(), GWL_STYLE) & ES_READONLY) != 0;
}

LRESULT COvekComboBox_Edit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    HWND combo = combo_ ? combo_->Handle() : ::GetParent(Handle());
    switch (msg) {
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle(), 0};
                tracking_ = ::TrackMouseEvent(&tme) != FALSE;
                ::SendMessageW(combo, kComboEditPointerEntered, 0, 0);
            }
            break;
        case WM_MOUSELEAVE:
            tracking_ = false;
            ::SendMessageW(combo, kComboEditPointerLeft, 0, 0);
            break;
        default:
            break;
    }
    if (IsReadOnly()) {
        switch (msg) {
            case WM_LBUTTONDOWN: {
                POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                ::MapWindowPoints(Handle(), combo, &pt, 1);
                ::SendMessageW(combo, WM_LBUTTONDOWN, wp, MAKELPARAM(pt.x, pt.y));
                return 0;
            }
            case WM_LBUTTONDBLCLK:
                return 0;
            case WM_SETCURSOR:
                ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            case WM_SETFOCUS: {
                // A drop-down list keeps the focus on the box itself.
                HWND previous = reinterpret_cast<HWND>(wp);
                HWND target = (previous && previous != Handle() && ::IsWindow(previous)) ? previous : combo;
                if (target) ::SetFocus(target);
                return 0;
            }
            case WM_KILLFOCUS:
                return 0;
            default:
                break;
        }
    }
    return DefaultProc(msg, wp, lp);
}

// ---------------------------------------------------------------- drop list

void COvekComboBox_ListBox::DrawItem(const DRAWITEMSTRUCT& item) const {
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    if (width <= 0 || height <= 0 || !combo_) return;
    CMemorySurface surface(item.hDC, width, height);
    if (!surface) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = surface.dc();
    FillSolid(dc, surface.Bounds(), selected ? selectedItemBackground : itemBackground);

    const int dpiX = Resolution().dpiX;
    const bool withIcons = data_ && data_->HasIcons();
    if (withIcons) {
        if (HICON icon = data_->IconOf(static_cast<int>(item.itemID))) {
            const int size = ::GetSystemMetrics(SM_CXSMICON);
            ::DrawIconEx(dc, Unstepped(dpiX, 4), combo::CentredTop(height, size), icon, size, size, 0, nullptr,
                         DI_NORMAL);
        }
    }
    const std::wstring text = ItemText(combo_->Handle(), static_cast<int>(item.itemID));
    if (!text.empty()) {
        CSelectObject font(dc, font_);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, selected ? selectedItemText : itemText);
        RECT box{combo::ItemTextLeft(dpiX, withIcons), 1, width - 8, height - 2};
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    }
    ::GdiFlush();
    surface.CopyTo(item.hDC, item.rcItem.left, item.rcItem.top);
}

void COvekComboBox_ListBox::PaintBorder() {
    HWND hwnd = Handle();
    RECT window{};
    ::GetWindowRect(hwnd, &window);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::OffsetRect(&client, -window.left, -window.top);

    CWindowDC dc(hwnd, CWindowDC::Whole);
    if (!dc) return;
    ::ExcludeClipRect(dc.get(), client.left, client.top, client.right, client.bottom);
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    if ((::GetWindowLongW(hwnd, GWL_STYLE) & WS_VSCROLL) && ::GetScrollBarInfo(hwnd, OBJID_VSCROLL, &bar) &&
        !(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE)) {
        RECT r = bar.rcScrollBar;
        ::OffsetRect(&r, -window.left, -window.top);
        ::ExcludeClipRect(dc.get(), r.left, r.top, r.right, r.bottom);
    }
    FillSolid(dc.get(), RECT{0, 0, window.right - window.left, window.bottom - window.top}, borderColor);
}

void COvekComboBox_ListBox::KeepOnMonitor() {
    if (!combo_ || !combo_->Handle()) return;
    RECT control{}, list{};
    ::GetWindowRect(combo_->Handle(), &control);
    ::GetWindowRect(Handle(), &list);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(combo_->Handle(), MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const int left = combo::KeepListOnMonitor(control.left, list.left, list.right - list.left,
                                              monitor.rcMonitor.left, monitor.rcMonitor.right);
    if (left != list.left)
        ::SetWindowPos(Handle(), nullptr, left, list.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int COvekComboBox_ListBox::ItemAt(POINT client) const {
    const LRESULT count = ::SendMessageW(Handle(), LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) return -1;
    LRESULT top = ::SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0);
    if (top == LB_ERR) top = 0;
    RECT visible{};
    ::GetClientRect(Handle(), &visible);
    for (LRESULT i = top; i < count; ++i) {
        RECT r{};
        if (::SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
            break;
        if (r.top >= visible.bottom) break;
        if (::PtInRect(&r, client)) return static_cast<int>(i);
    }
    return -1;
}

LRESULT COvekComboBox_ListBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCPAINT: {
            const LRESULT result = DefaultProc(msg, wp, lp);
            PaintBorder();
            return result;
        }
        case WM_PAINT:
            KeepOnMonitor();
            break;
        case WM_RBUTTONUP: {
            const int index = ItemAt(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            if (combo_ && combo_->Handle()) ::PostMessageW(combo_->Handle(), kComboListRightClicked, index, 0);
            break;
        }
        case WM_WINDOWPOSCHANGED: {
            const LRESULT result = DefaultProc(msg, wp, lp);
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
            if (pos && (pos->flags & SWP_HIDEWINDOW) && combo_ && combo_->Handle())
                ::SendMessageW(combo_->Handle(), kComboListHidden, 0, 0);
            return result;
        }
        default:
            break;
    }
    return DefaultProc(msg, wp, lp);
}

// ---------------------------------------------------------------- the box

COvekComboBox::COvekComboBox(HMODULE pictureModule) : pictureModule_(pictureModule) {
    font_ = Fonts().tahoma14;
    list_.SetFont(font_);
}

COvekComboBox::~COvekComboBox() {
    // The parts go first: the list points at this box and its data.
    list_.Bind(nullptr, nullptr);
    list_.Unsubclass();
    edit_.SetCombo(nullptr);
    edit_.Unsubclass();
}

bool COvekComboBox::Bind(HWND combo) {
    if (!Subclass(combo)) return false;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (::GetComboBoxInfo(combo, &info)) {
        if (info.hwndItem && info.hwndItem != combo && edit_.Subclass(info.hwndItem)) {
            edit_.SetCombo(this);
            ::ShowWindow(info.hwndItem, SW_HIDE);
        }
        if (info.hwndList && list_.Subclass(info.hwndList)) list_.Bind(this, &data_);
    }
    focusCuesHidden_ = (::SendMessageW(combo, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
    if (!font_) SetFont(Fonts().tahoma14);
    LoadArrow();
    OnSize();
    Repaint();
    return true;
}

void COvekComboBox::SetFont(HFONT font) {
    font_ = font;
    list_.SetFont(font);
    if (Handle()) Repaint();
}

void COvekComboBox::SetReadOnly(bool readOnly) {
    if (edit_.Handle()) ::SendMessageW(edit_.Handle(), EM_SETREADONLY, readOnly, 0);
    if (Handle()) Repaint();
}

void COvekComboBox::LoadArrow() {
    arrow_ = LoadResourcePicture(ThemePictureId(Picture::ComboArrow), pictureModule_);
    if (arrow_ && arrow_->bitmap) {
        cellWidth_ = arrow_->width / combo::kArrowCellCount;
        cellHeight_ = arrow_->height;
    } else {
        cellWidth_ = cellHeight_ = 0;
    }
}

bool COvekComboBox::Dropped() const {
    return Handle() && ::SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

int COvekComboBox::ComputeDropWidth() const {
    HWND hwnd = Handle();
    RECT window{};
    ::GetWindowRect(hwnd, &window);
    combo::DropWidthInput in;
    in.controlWidth = window.right - window.left;
    in.itemCount = static_cast<int>(std::max<LRESULT>(0, ::SendMessageW(hwnd, CB_GETCOUNT, 0, 0)));
    in.scrollBarWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    in.edgeWidth = ::GetSystemMetrics(SM_CXEDGE);
    in.smallIconWidth = ::GetSystemMetrics(SM_CXSMICON);
    in.withIcons = data_.HasIcons();
    in.previewMode = list_.previewMode != 0;
    CWindowDC dc(hwnd);
    if (dc) {
        CSelectObject font(dc.get(), font_);
        TEXTMETRICW tm{};
        if (::GetTextMetricsW(dc.get(), &tm)) in.averageCharWidth = tm.tmAveCharWidth;
        for (int i = 0; i < in.itemCount; ++i) {
            const std::wstring text = ItemText(hwnd, i);
            SIZE size{};
            if (!text.empty() && ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size))
                in.widestText = std::max<int>(in.widestText, size.cx);
        }
    }
    return combo::DropWidth(in, Resolution().dpiX);
}

void COvekComboBox::ShowList(bool show) { ::SendMessageW(Handle(), CB_SHOWDROPDOWN, show, 0); }

void COvekComboBox::OnSize() {
    if (!arrow_ || !arrow_->bitmap) return;
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int dpiX = Resolution().dpiX;
    const combo::Box area = combo::ArrowArea(client.right, client.bottom, cellWidth_, dpiX);
    arrowArea_ = RECT{area.left, area.top, area.right, area.bottom};
    if (edit_.Handle()) {
        CWindowDC dc(edit_.Handle());
        HFONT editFont = reinterpret_cast<HFONT>(::SendMessageW(edit_.Handle(), WM_GETFONT, 0, 0));
        const int height = dc ? FontHeight(dc.get(), editFont ? editFont : font_) : 0;
        const int left = Unstepped(dpiX, 4);
        ::SetWindowPos(edit_.Handle(), nullptr, left, combo::CentredTop(client.bottom, height),
                       std::max(0, area.left - left), height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (list_.Handle())
        ::SetWindowPos(list_.Handle(), nullptr, 0, 0, ComputeDropWidth(), combo::DropListHeight(Resolution().dpiY),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool COvekComboBox::FocusCuesShown() const { return !focusCuesHidden_; }

void COvekComboBox::OnUpdateUiState(WPARAM wp) {
    // The dialog manager tells every control when keyboard cues come and go.
    if (!(HIWORD(wp) & UISF_HIDEFOCUS)) return;
    switch (LOWORD(wp)) {
        case UIS_SET: focusCuesHidden_ = true; break;
        case UIS_CLEAR: focusCuesHidden_ = false; break;
        case UIS_INITIALIZE: focusCuesHidden_ = (::SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0; break;
        default: break;
    }
}

void COvekComboBox::PaintFace(HDC dc, const RECT& client) const {
    const int dpiX = Resolution().dpiX;
    FillSolid(dc, client, faceColor);
    const int buttonWidth = combo::DropButtonWidth(cellWidth_, dpiX);
    FillSolid(dc, RECT{client.right - buttonWidth, 0, client.right, client.bottom}, dropButtonColor);

    if (arrow_ && arrow_->bitmap && cellWidth_ > 0) {
        UniqueMemoryDC source(::CreateCompatibleDC(dc));
        if (source) {
            CSelectObject picture(source.get(), arrow_->bitmap.get());
            const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            ::AlphaBlend(dc, combo::ArrowCellLeft(client.right, cellWidth_, dpiX),
                         combo::CentredTop(client.bottom, cellHeight_), cellWidth_, cellHeight_, source.get(),
                         combo::ArrowCell(hover_) * cellWidth_, 0, cellWidth_, cellHeight_, blend);
        }
    }

    if (IsReadOnly()) {
        const int selection = static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
        const bool withIcons = data_.HasIcons();
        if (withIcons && selection >= 0) {
            if (HICON icon = data_.IconOf(selection)) {
                const int size = ::GetSystemMetrics(SM_CXSMICON);
                ::DrawIconEx(dc, Unstepped(dpiX, 4), combo::CentredTop(client.bottom, size), icon, size, size, 0,
                             nullptr, DI_NORMAL);
            }
        }
        const std::wstring text = selection >= 0 ? ItemText(Handle(), selection) : placeholder;
        if (!text.empty()) {
            CSelectObject font(dc, font_);
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, selection >= 0 ? textColor : greyTextColor);
            SIZE extent{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            const combo::Span span = combo::FaceTextSpan(client.right, cellWidth_, dpiX, withIcons);
            const int top = combo::CentredTop(client.bottom, extent.cy);
            RECT box{span.left, top, span.right, top + extent.cy};
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
        }
    }

    FrameSolid(dc, client, hover_ ? hoverFrameColor : idleFrameColor);

    // Keyboard users see where the focus is; with the mouse (cues hidden)
    // the face stays as it is.
    if (focused_ && FocusCuesShown()) {
        RECT cue{2, 2, std::max(2, static_cast<int>(arrowArea_.left)), client.bottom - 2};
        if (cue.right <= cue.left) cue.right = client.right - 2;
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &cue);
    }
}

bool COvekComboBox::PointerInWindow() const {
    POINT pt{};
    ::GetCursorPos(&pt);
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    return ::PtInRect(&window, pt) != FALSE;
}

void COvekComboBox::OnMouseMove(POINT pt) {
    if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle(), 0};
        tracking_ = ::TrackMouseEvent(&tme) != FALSE;
        hover_ = true;
        ::PostMessageW(::GetParent(Handle()), kComboPointerEntered, reinterpret_cast<WPARAM>(this), 0);
        Repaint();
    }
    const LONG type = ::GetWindowLongW(Handle(), GWL_STYLE) & 0x3;
    const bool overArrow = (type == CBS_DROPDOWNLIST || type == CBS_SIMPLE) ? true : ::PtInRect(&arrowArea_, pt) != FALSE;
    if (overArrow != arrowHover_) {
        arrowHover_ = overArrow;
        Repaint();
    }
}

void COvekComboBox::OnMouseLeave() {
    tracking_ = false;
    if (!Dropped()) {
        if (!PointerInWindow()) hover_ = false;
        arrowHover_ = false;
        Repaint();
    }
    ::PostMessageW(::GetParent(Handle()), kComboPointerLeft, 0, 0);
}

void COvekComboBox::OnLButtonDown(POINT pt) {
    ::SetFocus(Handle());
    if (IsReadOnly()) {
        ShowList(!Dropped());
        if (edit_.Handle()) ::SendMessageW(edit_.Handle(), EM_SETSEL, static_cast<WPARAM>(-1), 0);
    } else if (::PtInRect(&arrowArea_, pt)) {
        ShowList(!Dropped());
    }
    ::InvalidateRect(Handle(), &arrowArea_, FALSE);
}

void COvekComboBox::NotifyParent(int code) {
    const int id = ::GetDlgCtrlID(Handle());
    ::SendMessageW(::GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Handle()));
}

void COvekComboBox::SetFocusedFlag(bool focused) {
    focused_ = focused;
    Repaint();
}

bool COvekComboBox::OnKeyDown(WPARAM key, bool alt) {
    if ((key == VK_F4 && !alt) || (alt && (key == VK_DOWN || key == VK_UP))) {
        ShowList(!Dropped());
        return true;
    }
    const int count = static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0));
    combo::SelectionKey which;
    if (Dropped()) {
        // The list moves its own highlight; the choice is made on Enter.
        HWND list = list_.Handle();
        if (key == VK_RETURN) {
            const int chosen = list ? static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0)) : -1;
            ShowList(false);
            // Also brings the edit part's text, the box's window text, along.
            if (chosen >= 0) ::SendMessageW(Handle(), CB_SETCURSEL, chosen, 0);
            NotifyParent(CBN_SELENDOK);
            if (chosen >= 0 && chosen != selectionAtDrop_) NotifyParent(CBN_SELCHANGE);
            Repaint();
            return true;
        }
        if (key == VK_ESCAPE) {
            ShowList(false);
            ::SendMessageW(Handle(), CB_SETCURSEL, selectionAtDrop_, 0);
            Repaint();
            return true;
        }
        if (list && KeyToSelection(key, which)) {
            const int current = static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0));
            const int next = combo::NextSelection(current, count, which, combo::kVisibleRows);
            if (next >= 0) ::SendMessageW(list, LB_SETCURSEL, next, 0);
            return true;
        }
        return false;
    }
    if (!KeyToSelection(key, which)) return false;
    const int current = static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
    const int next = combo::NextSelection(current, count, which, combo::kVisibleRows);
    if (next >= 0 && next != current) {
        ::SendMessageW(Handle(), CB_SETCURSEL, next, 0);
        // As the platform's drop-down list reports a keyboard choice.
        NotifyParent(CBN_SELENDOK);
        NotifyParent(CBN_SELCHANGE);
        Repaint();
    }
    return true;
}

LRESULT COvekComboBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (PaintOffscreen(Handle(), msg, wp, [this](CMemorySurface& surface) { PaintFace(surface.dc(), surface.Bounds()); }))
        return 0;
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE: {
            const LRESULT result = DefaultProc(msg, wp, lp);
            OnSize();
            Repaint();
            return result;
        }
        case WM_MOUSEMOVE:
            OnMouseMove(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return DefaultProc(msg, wp, lp);
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnLButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return 0;
        case kComboEditPointerEntered:
            hover_ = true;
            Repaint();
            return 0;
        case kComboEditPointerLeft:
            if (!PointerInWindow()) hover_ = false;
            Repaint();
            return 0;
        case kComboListHidden:
            hover_ = false;
            arrowHover_ = false;
            Repaint();
            return 0;
        case kComboListRightClicked:
            ::PostMessageW(::GetParent(Handle()), kComboItemRightClicked, wp, 0);
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item && item->hwndItem == list_.Handle() && static_cast<int>(item->itemID) >= 0 &&
                !(item->itemState & ODS_COMBOBOXEDIT))
                list_.DrawItem(*item);
            if (item && (item->hwndItem == list_.Handle() || item->hwndItem == Handle())) return TRUE;
            break;
        }
        case WM_GETDLGCODE: {
            if (!IsReadOnly()) break;
            LRESULT code = DLGC_WANTARROWS;
            const auto* message = reinterpret_cast<const MSG*>(lp);
            if (message && message->message == WM_KEYDOWN &&
                (message->wParam == VK_RETURN || message->wParam == VK_ESCAPE) && Dropped())
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (IsReadOnly() && OnKeyDown(wp, (lp & (1 << 29)) != 0)) return 0;
            break;
        case WM_CHAR:
            // Typing does nothing in a drop-down list; Enter/Escape must not beep.
            if (IsReadOnly()) return 0;
            break;
        case WM_SETFOCUS:
            if (IsReadOnly()) {
                SetFocusedFlag(true);
                NotifyParent(CBN_SETFOCUS);
                return 0;
            }
            break;
        case WM_KILLFOCUS:
            if (IsReadOnly()) {
                if (Dropped()) ShowList(false);
                SetFocusedFlag(false);
                NotifyParent(CBN_KILLFOCUS);
                return 0;
            }
            break;
        case WM_UPDATEUISTATE: {
            const LRESULT result = DefaultProc(msg, wp, lp);
            OnUpdateUiState(wp);
            Repaint();
            return result;
        }
        case WM_COMMAND: {
            // The list's and the edit part's notifications: the face shows
            // the new selection; an editable box follows its edit's focus.
            const LRESULT result = DefaultProc(msg, wp, lp);
            if (reinterpret_cast<HWND>(lp) == edit_.Handle() && !IsReadOnly()) {
                if (HIWORD(wp) == EN_SETFOCUS) SetFocusedFlag(true);
                if (HIWORD(wp) == EN_KILLFOCUS) SetFocusedFlag(false);
            }
            Repaint();
            return result;
        }
        case WM_CTLCOLORLISTBOX: {
            if (reinterpret_cast<HWND>(lp) != list_.Handle()) break;
            if (!listBrush_ || listBrushColor_ != list_.itemBackground) {
                listBrush_.reset(::CreateSolidBrush(list_.itemBackground));
                listBrushColor_ = list_.itemBackground;
            }
            return reinterpret_cast<LRESULT>(listBrush_.get());
        }
        case CB_SHOWDROPDOWN:
            // Whoever opens the list, it is as wide as its widest name.
            if (wp && !Dropped()) {
                ::SendMessageW(Handle(), CB_SETDROPPEDWIDTH, ComputeDropWidth(), 0);
                selectionAtDrop_ = static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
            }
            break;
        case CB_SETCURSEL:
        case CB_SELECTSTRING:
        case CB_RESETCONTENT:
        case CB_DELETESTRING:
        case CB_SETITEMHEIGHT:
        case WM_SETTEXT: {
            const LRESULT result = DefaultProc(msg, wp, lp);
            Repaint();
            return result;
        }
        default:
            break;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace ovek
