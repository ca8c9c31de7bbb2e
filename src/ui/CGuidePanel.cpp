#include "ui/CGuidePanel.h"

#include "controls/ImageCache.h"
#include "ui/CInstallGuide.h"
#include "ui/Theme.h"

namespace ovek {

SIZE CGuidePanel::DefaultPanelSize() {
    static const SIZE size{ScaleX(660), ScaleY(446)};
    return size;
}

bool CGuidePanel::OnInitDialog() {
    // A plain borderless child, whatever the template says.
    const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
    ::SetWindowLongPtrW(Handle(), GWL_STYLE, (style & ~(WS_CAPTION | WS_THICKFRAME)) | WS_CLIPCHILDREN);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    ::SetWindowLongPtrW(Handle(), GWL_EXSTYLE, exStyle & ~WS_EX_DLGMODALFRAME);
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return false;
}

LRESULT CGuidePanel::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;  // the composition covers the whole client area
    case WM_SIZE:
        LayoutControls(ClientRect());
        break;
    default:
        if (PaintOffscreen(Handle(), msg, wp, [this](CMemorySurface& s) { Compose(s); })) return 0;
        break;
    }
    return CDialog::WindowProc(msg, wp, lp);
}

void CGuidePanel::Compose(CMemorySurface& surface) {
    const RECT r = surface.Bounds();
    FillSolid(surface.dc(), r, Palette().WindowBackground);
    if (auto logo = LoadResourcePicture(ThemePictureId(Picture::Logo)); logo && logo->bitmap) {
        UniqueMemoryDC source(::CreateCompatibleDC(surface.dc()));
        CSelectObject selected(source.get(), logo->bitmap.get());
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::AlphaBlend(surface.dc(), r.right - logo->width, r.top, logo->width, logo->height, source.get(), 0, 0,
                     logo->width, logo->height, blend);
    }
    DrawContent(surface);
}

void CGuidePanel::GoNext() {
    CInstallGuide* guide = Guide();
    if (guide && guide->HasPanel(guide->CurrentKey() + 1)) guide->ShowPanel(guide->CurrentKey() + 1);
}

void CGuidePanel::MeasureText(const std::wstring& text, HFONT font, SIZE& size) const {
    CWindowDC dc(Handle());
    if (!dc) return;
    CSelectObject selected(dc.get(), font);
    SIZE measured{};
    if (!::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &measured)) return;
    if (measured.cx > 0) size.cx = measured.cx;
    if (measured.cy > size.cy) size.cy = measured.cy;
}

CInstallGuide* CGuidePanel::Guide() const {
    return dynamic_cast<CInstallGuide*>(CWindow::FromHandle(::GetParent(Handle())));
}

RECT CGuidePanel::ClientRect() const {
    RECT r{};
    ::GetClientRect(Handle(), &r);
    return r;
}

}  // namespace ovek
