#include "ui/CStatusPanel.h"

#include <shellapi.h>

#include "app/COvekMasterInstallerApp.h"
#include "controls/ImageCache.h"
#include "engine/RunningProducts.h"
#include "framework/MessageBox.h"
#include "i18n/UiStrings.h"
#include "manifest/InstallerContext.h"
#include "res/resource.h"
#include "ui/CInstallGuide.h"
#include "ui/StatusLayout.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

constexpr double kSlideDisplaySeconds = 7.5;
constexpr double kSlideTransitionSeconds = 0.6;

void Place(HWND control, const PanelBox& box) {
    if (control) ::MoveWindow(control, box.left, box.top, box.Width(), box.Height(), TRUE);
}

std::wstring Text(const UiTextEntry& entry) { return TheContext().language.LookUpText(entry); }

}  // namespace

bool CStatusPanel::OnInitDialog() {
    CGuidePanel::OnInitDialog();
    const ThemePalette& palette = Palette();

    slideshow_.Create(Handle(), IDC_SLIDESHOW, RECT{}, WS_CHILD | WS_TABSTOP);
    slideshow_.SetBackground(palette.WindowBackground);
    slideshow_.SetDisplayTime(kSlideDisplaySeconds);
    slideshow_.SetTransitionTime(kSlideTransitionSeconds);
    ::ShowWindow(slideshow_.Handle(), SW_SHOW);
    ::InvalidateRect(Handle(), nullptr, TRUE);

    struct Label {
        COvekStatic& label;
        int id;
        UINT format;
    };
    // One line each, cut with an ellipsis rather than run under the next.
    const UINT lineFormat = DT_TOP | DT_NOPREFIX | DT_END_ELLIPSIS;
    for (const Label& l : {Label{statusLabel_, IDC_STATUS_TEXT, DT_LEFT | DT_WORDBREAK | lineFormat},
                           Label{timeLabel_, IDC_TIME_TEXT, DT_LEFT | DT_WORDBREAK | lineFormat},
                           Label{percentLabel_, IDC_PERCENT_TEXT, DT_RIGHT | DT_SINGLELINE | lineFormat}}) {
        if (!l.label.Bind(Handle(), l.id)) continue;
        l.label.SetFont(Fonts().tahoma14);
        l.label.SetColors(palette.WindowBackground, palette.LightText, palette.LightText);
        l.label.SetFormat(l.format);
    }
    statusLabel_.SetText(Text(IDS_STATUS_INIT));
    timeLabel_.SetText(Text(IDS_CALC_TIME_REMAINING));
    percentLabel_.SetText(L"");

    progress_.Create(Handle(), IDC_PROGRESS_BAR, RECT{}, WS_CHILD);
    progress_.SetPos(0);
    progress_.SetRange(1000);
    ::InvalidateRect(progress_.Handle(), nullptr, FALSE);
    progress_.SetColors(palette.WindowBackground, palette.ProgressTrack, palette.ProgressFill);
    ::ShowWindow(progress_.Handle(), SW_SHOW);

    LayoutControls(ClientRect());
    return false;
}

void CStatusPanel::LayoutControls(const RECT& rect) {
    const ScreenResolution& dpi = Resolution();
    const StatusLayout l = LayOutStatusPanel({rect.left, rect.top, rect.right, rect.bottom}, dpi.dpiX, dpi.dpiY);
    Place(slideshow_.Handle(), l.slideshow);
    Place(statusLabel_.Handle(), l.status);
    Place(timeLabel_.Handle(), l.time);
    Place(percentLabel_.Handle(), l.percent);
    if (progress_.Handle()) {
        progress_.SetBarRect(RECT{0, 0, l.bar.Width(), l.bar.Height()});
        Place(progress_.Handle(), l.bar);
    }
}

void CStatusPanel::OnPanelShown() {
    ApplyTexts();
    if (startScheduled_) return;  // the engine starts once
    startScheduled_ = true;
    ::SetTimer(Handle(), kStartTimer, startDelayMs_, nullptr);
}

void CStatusPanel::ApplyTexts() {
    statusLabel_.SetText(Text(IDS_STATUS_INIT));
    timeLabel_.SetText(Text(IDS_CALC_TIME_REMAINING));
    slideshow_.ClearSlides();
    for (const std::wstring& path : TheContext().language.SlidePaths()) {
        if (auto picture = LoadPictureFile(path))
            slideshow_.AppendSlide(picture->width, picture->height, std::move(picture->bitmap));
    }
    if (slideshow_.Handle()) ::InvalidateRect(slideshow_.Handle(), nullptr, FALSE);
}

LRESULT CStatusPanel::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kStartTimer) {
        ::KillTimer(Handle(), kStartTimer);
        StartInstallation();
        return 0;
    }
    if (msg == WM_TIMER && wp == kPollTimer) {
        ::KillTimer(Handle(), kPollTimer);
        // While the cancel question is open the answer decides, not the poll.
        if (asking_ || Poll()) ::SetTimer(Handle(), kPollTimer, pollMs_, nullptr);
        return 0;
    }
    if (msg == COvekSliderShowCtrl::kSlideClicked) {
        OpenSlideShowLink();
        return 0;
    }
    return CGuidePanel::WindowProc(msg, wp, lp);
}

void CStatusPanel::StartInstallation() {
    if (!CheckRunningProducts(TheContext().manifest.fullName, Handle())) {
        EndWizard();
        return;
    }
    engine_.Start();
    ::SetTimer(Handle(), kPollTimer, pollMs_, nullptr);
}

bool CStatusPanel::Poll() {
    const StatusSnapshot snap = engine_.TakeStatusSnapshot();
    progress_.SetPos(ProgressPosition(snap.overallPercent));
    if (progress_.Handle()) ::RedrawWindow(progress_.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    percentLabel_.SetText(FormatPercent(snap.overallPercent));
    statusLabel_.SetText(snap.statusText);
    timeLabel_.SetText(snap.timeText);
    for (HWND label : {percentLabel_.Handle(), statusLabel_.Handle(), timeLabel_.Handle()})
        if (label) ::UpdateWindow(label);

    if (snap.state == kStateFinished) {
        FinishSucceeded();
        return false;
    }
    if (snap.state == kStateFailed || snap.state == kStateCancelled) {
        // The engine has shown its own message already.
        EndWizard();
        return false;
    }
    return true;
}

void CStatusPanel::FinishSucceeded() {
    const COvekMasterInstallerApp& app = TheApp();
    if (app.launchAfterInstall) {
        const std::wstring path = TheContext().ProductExecutablePath();
        if (!path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            LaunchAsDesktopUser(path);
            if (SUCCEEDED(com)) ::CoUninitialize();
        }
        EndWizard();
    } else if (!app.silent) {
        GoNext();
    } else {
        EndWizard();
    }
}

void CStatusPanel::EndWizard() {
    if (CInstallGuide* guide = Guide()) guide->EndWizard();
}

bool CStatusPanel::CanClose() {
    if (engine_.cancelConfirmed) return false;  // already stopping
    if (IsFinalState(engine_.TakeStatusSnapshot().state)) return true;
    if (asking_) return false;  // the question is already open
    engine_.Pause();
    asking_ = true;
    CInstallGuide* guide = Guide();
    const int answer = ShowMessageBox(guide ? guide->Handle() : Handle(), Text(IDS_MESSAGE_CANCELNOTICE),
                                      TheContext().manifest.shortName, MB_YESNO | MB_ICONWARNING);
    asking_ = false;
    if (answer == IDYES) {
        if (IsFinalState(engine_.TakeStatusSnapshot().state)) return true;
        engine_.cancelConfirmed = 1;
        engine_.RequestCancel();
        return false;
    }
    engine_.Resume();
    return false;
}

void CStatusPanel::OpenSlideShowLink() {
    const std::wstring link = TheContext().language.LookUpLink(IDS_RLINK_SLIDE_SHOW);
    if (link.empty()) return;
    ::ShellExecuteW(Handle(), L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace ovek
