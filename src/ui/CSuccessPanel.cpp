#include "ui/CSuccessPanel.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "app/COvekMasterInstallerApp.h"
#include "controls/ImageCache.h"
#include "engine/EngineText.h"
#include "engine/RunningProducts.h"
#include "manifest/InstallerContext.h"
#include "res/resource.h"
#include "ui/CInstallGuide.h"
#include "ui/SuccessRules.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

FrameBox BoxOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void Place(HWND window, const FrameBox& box) {
    if (window) ::MoveWindow(window, box.left, box.top, box.Width(), box.Height(), TRUE);
}

}  // namespace

bool CSuccessPanel::OnInitDialog() {
    CGuidePanel::OnInitDialog();
    startNow_.Bind(Handle(), IDC_START_NOW);
    launchCheck_.Bind(Handle(), IDC_LAUNCH_CHECK);
    launchLabel_.Bind(Handle(), IDC_LAUNCH_LABEL);
    // The launch choice is not offered: the product always starts.
    ::ShowWindow(launchCheck_.Handle(), SW_HIDE);
    ::ShowWindow(launchLabel_.Handle(), SW_HIDE);

    const Color background = Palette().WindowBackground;
    launchCheck_.SetColors(background, background, background, background, L"");
    if (auto ticked = LoadResourcePicture(ThemePictureId(Picture::CheckTicked)); ticked && ticked->bitmap)
        launchCheck_.SetPicture(ticked->bitmap.get(), SIZE{ticked->width, ticked->height}, ticked->frameCount,
                                ticked->horizontalStrip != 0);
    launchLabel_.SetFont(Fonts().tahoma14);
    launchLabel_.SetColors(background, Palette().LabelText, Palette().LabelText);
    launchLabel_.SetFormat(DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    return false;
}

void CSuccessPanel::ApplyTexts() {
    const InstallerContext& context = TheContext();
    startNow_.SetCaption(context.language.LookUpText(IDS_START_NOW));
    launchLabel_.SetText(FormatText(context.language.LookUpText(IDS_LAUNCH_APP), {context.manifest.fullName}));
    LayoutControls(ClientRect());
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

std::wstring CSuccessPanel::TitleText() const {
    const InstallerContext& context = TheContext();
    return FormatText(context.language.LookUpText(IDS_PRODUCT_READY), {context.manifest.shortName});
}

void CSuccessPanel::LayoutControls(const RECT& rect) {
    const ScreenResolution& dpi = Resolution();
    const SuccessLayout layout = ComputeSuccessLayout(BoxOf(rect), dpi.dpiX, dpi.dpiY, 0, 0);
    Place(startNow_.Handle(), layout.startNow);
    Place(launchCheck_.Handle(), layout.launchCheck);
    Place(launchLabel_.Handle(), layout.launchLabel);
}

void CSuccessPanel::DrawContent(CMemorySurface& surface) {
    const RECT r = surface.Bounds();
    const ScreenResolution& dpi = Resolution();
    const std::wstring title = TitleText();
    SIZE measured{0, 0};
    if (!title.empty()) MeasureText(title, Fonts().arial32Bold, measured);
    const SuccessLayout layout = ComputeSuccessLayout(BoxOf(r), dpi.dpiX, dpi.dpiY, measured.cx, measured.cy);

    const int iconSize = layout.icon.Width();
    UniqueIcon icon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                                    IMAGE_ICON, iconSize, iconSize, 0)));
    if (icon)
        ::DrawIconEx(surface.dc(), layout.icon.left, layout.icon.top, icon.get(), iconSize, iconSize, 0, nullptr,
                     DI_NORMAL);

    if (title.empty() || layout.title.Empty()) return;
    CSelectObject font(surface.dc(), Fonts().arial32Bold);
    ::SetBkMode(surface.dc(), TRANSPARENT);
    ::SetTextColor(surface.dc(), Palette().TitleText);
    RECT box{layout.title.left, layout.title.top, layout.title.right, layout.title.bottom};
    ::DrawTextW(surface.dc(), title.c_str(), static_cast<int>(title.size()), &box,
                DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_WORD_ELLIPSIS);
}

bool CSuccessPanel::CanClose() {
    OpenHomePage();
    return true;
}

void CSuccessPanel::StartNow() {
    OpenHomePage();
    ::SetTimer(Handle(), kLaunchTimer, kLaunchDelayMs, nullptr);
}

void CSuccessPanel::OpenHomePage() {
    const COvekMasterInstallerApp& app = TheApp();
    const std::wstring& url = TheContext().installHomepageUrl;
    if (!ShouldOpenHomePage(app.productInstalled != 0, app.relatedProductInstalled != 0, homePageOpened_ != 0, url))
        return;
    // Marked first: opening may pump messages, and a close arriving then
    // must not open it a second time.
    homePageOpened_ = 1;
    OpenAddress(url);
}

void CSuccessPanel::OpenAddress(const std::wstring& url) {
    ::ShellExecuteW(Handle(), L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CSuccessPanel::LaunchProduct(const std::wstring& path) {
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    LaunchAsDesktopUser(path);
    if (SUCCEEDED(com)) ::CoUninitialize();
}

void CSuccessPanel::LaunchAndEnd() {
    const std::wstring path = TheContext().ProductExecutablePath();
    if (!path.empty() && ::PathFileExistsW(path.c_str())) LaunchProduct(path);
    if (CInstallGuide* guide = Guide()) guide->EndWizard();
}

LRESULT CSuccessPanel::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kLaunchTimer) {
        ::KillTimer(Handle(), kLaunchTimer);
        LaunchAndEnd();
        return 0;
    }
    return CGuidePanel::WindowProc(msg, wp, lp);
}

}  // namespace ovek
