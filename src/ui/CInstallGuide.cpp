#include "ui/CInstallGuide.h"

#include "app/COvekMasterInstallerApp.h"
#include "manifest/InstallerContext.h"
#include "res/resource.h"
#include "ui/CSettingPanel.h"
#include "ui/CStatusPanel.h"
#include "ui/CSuccessPanel.h"
#include "ui/Theme.h"

namespace ovek {

INT_PTR CInstallGuide::DoModal(HWND owner) { return CDialog::DoModal(owner, IDD_INSTALL_GUIDE); }

std::shared_ptr<CGuidePanel> CInstallGuide::MakePanel(int key) {
    switch (key) {
    case kSettingsPanel: return std::make_shared<CSettingPanel>();
    case kStatusPanel: return std::make_shared<CStatusPanel>();
    case kSuccessPanel: return std::make_shared<CSuccessPanel>();
    default: return nullptr;
    }
}

bool CInstallGuide::OnInitDialog() {
    COvekDialog::OnInitDialog();
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    bigIcon_.reset(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.reset(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0)));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    ::SetWindowTextW(Handle(), TheContext().manifest.fullName.c_str());

    const UINT templates[] = {IDD_SETTINGS_PANEL, IDD_STATUS_PANEL, IDD_SUCCESS_PANEL};
    for (int key = kSettingsPanel; key <= kSuccessPanel; ++key) {
        std::shared_ptr<CGuidePanel> panel = MakePanel(key);
        if (panel && panel->Create(Handle(), templates[key])) panels_[key] = std::move(panel);
    }

    const COvekMasterInstallerApp& app = TheApp();
    const bool startAtStatus = app.silent || app.productInstalled || app.relatedProductInstalled;
    ShowPanel(startAtStatus ? kStatusPanel : kSettingsPanel);
    FitToPanel();
    if (app.silent) {
        HideForSilentRun();
    } else {
        // Centred on the work area of the monitor the window is on.
        RECT window{};
        ::GetWindowRect(Handle(), &window);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        if (::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor)) {
            const RECT& work = monitor.rcWork;
            const int x = work.left + ((work.right - work.left) - (window.right - window.left)) / 2;
            const int y = work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2;
            ::SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return true;
}

void CInstallGuide::HideForSilentRun() {
    StayHidden(true);
    ::SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    ::SetWindowLongPtrW(Handle(), GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    ::ShowWindow(Handle(), SW_HIDE);
}

CGuidePanel* CInstallGuide::Panel(int key) const {
    auto found = panels_.find(key);
    return found == panels_.end() ? nullptr : found->second.get();
}

bool CInstallGuide::ShowPanel(int key) {
    captionTitle = key == kStatusPanel ? 1 : 0;
    RepaintFrame();
    CGuidePanel* panel = Panel(key);
    if (!panel) return false;
    if (key != currentKey_) {
        if (CGuidePanel* current = Panel(currentKey_)) ::ShowWindow(current->Handle(), SW_HIDE);
    }
    currentKey_ = key;
    FitToPanel();
    panel->OnPanelShown();
    ::ShowWindow(panel->Handle(), SW_SHOW);
    ::RedrawWindow(Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return true;
}

void CInstallGuide::FitToPanel() {
    CGuidePanel* panel = Panel(currentKey_);
    const SIZE size = panel ? panel->GetPanelSize() : SIZE{0, 0};
    ::SetWindowPos(Handle(), nullptr, 0, 0, size.cx + 2 * ScaleX(1), size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CInstallGuide::LayoutPanels(const RECT& client) {
    for (auto& [key, panel] : panels_) {
        if (!panel->Handle()) continue;
        ::MoveWindow(panel->Handle(), client.left, client.top, client.right - client.left,
                     client.bottom - client.top, TRUE);
    }
}

LRESULT CInstallGuide::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        CGuidePanel* panel = Panel(currentKey_);
        if (!panel || panel->CanClose()) End(IDCANCEL);
        return 0;
    }
    return COvekDialog::WindowProc(msg, wp, lp);
}

}  // namespace ovek
