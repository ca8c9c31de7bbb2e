#include "validate/CClientValidator.h"
#include "framework/DecimalText.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <string_view>

#include "app/COvekMasterInstallerApp.h"
#include "engine/EngineText.h"
#include "engine/RunningProducts.h"
#include "framework/MessageBox.h"
#include "manifest/InstallerContext.h"
#include "net/InternetSession.h"
#include "res/resource.h"
#include "validate/FetchFile.h"
#include "validate/VersionCheck.h"

namespace ovek {
namespace {

constexpr DWORD kWorkerStartDelayMs = 200;
constexpr UINT kMarqueeIntervalMs = 10;
// Sent by the worker: hide the dialog (on the dialog's own thread).
constexpr UINT kHideMessage = WM_APP + 1;

// The one validation dialog whose key-downs the message filter swallows.
HWND g_filteredDialog = nullptr;

// Only a Windows program is handed over to: an error page that came back in
// place of the installer is not started.
bool LooksLikeProgram(const std::wstring& path) {
    std::FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (!file) return false;
    char magic[2] = {};
    const bool program = std::fread(magic, 1, 2, file) == 2 && magic[0] == 'M' && magic[1] == 'Z';
    std::fclose(file);
    return program;
}

}  // namespace

ValidationAction ActionForCheck(int code) {
    switch (code) {
    case kVersionDocumentUnavailable: return ValidationAction::ConnectionError;
    case static_cast<int>(InstallDecision::AnotherVersionInstalled): return ValidationAction::AnotherVersion;
    case static_cast<int>(InstallDecision::AlreadyInstalled): return ValidationAction::OfferLaunch;
    case static_cast<int>(InstallDecision::ClientTooOld): return ValidationAction::DownloadNewInstaller;
    default: return ValidationAction::GoOn;  // Proceed, NothingRecorded and anything unknown
    }
}

std::wstring UpdaterFileName(const std::wstring& fullName) {
    // The name comes from the manifest: it must stay one plain file name in
    // the new folder, whatever it holds.
    std::wstring name;
    for (wchar_t c : fullName) {
        const bool reserved = c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos;
        name += reserved ? L'_' : c;
    }
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
    if (name.empty() || name.find_first_not_of(L'.') == std::wstring::npos) name = L"OvekWebInstaller";
    return name + L".exe";
}

CClientValidator::CClientValidator() { EnsureInternetSession(); }

CClientValidator::~CClientValidator() {
    if (worker_.joinable()) worker_.join();
    CloseInternetSession();
}

void CClientValidator::RunModal() {
    if (worker_.joinable()) worker_.join();  // a finished earlier run
    workerDone_ = false;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    DoModal(nullptr, IDD_CLIENT_VALIDATOR);
    // However the dialog went, nothing of the worker's is read while it runs.
    if (worker_.joinable()) worker_.join();
}

bool CClientValidator::OnInitDialog() {
    COvekDialog::OnInitDialog();
    captionTitle = 1;
    Button(kCaptionClose).disabled = 1;
    Button(kCaptionMaximize).disabled = 1;
    Button(kCaptionMinimize).disabled = 1;
    RepaintFrame();

    progress_ = ::GetDlgItem(Handle(), IDC_VALIDATION_PROGRESS);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    LayoutClient(client);

    if (title.empty()) title = TheContext().language.LookUpText(IDS_PREPARING);
    ::SetWindowTextW(Handle(), title.c_str());
    ::SendMessageW(progress_, PBM_SETMARQUEE, TRUE, kMarqueeIntervalMs);

    g_filteredDialog = Handle();
    keyFilter_ = ::SetWindowsHookExW(WH_MSGFILTER, &SwallowKeys, nullptr, ::GetCurrentThreadId());

    worker_ = std::thread([this] { Work(); });
    if (TheApp().silent) HideForSilentRun();
    return true;
}

void CClientValidator::HideForSilentRun() {
    StayHidden(true);
    ::SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    ::SetWindowLongPtrW(Handle(), GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    ::ShowWindow(Handle(), SW_HIDE);
}

LRESULT CALLBACK CClientValidator::SwallowKeys(int code, WPARAM wp, LPARAM lp) {
    const MSG* msg = reinterpret_cast<const MSG*>(lp);
    if (code >= 0 && msg && msg->message == WM_KEYDOWN && g_filteredDialog &&
        (msg->hwnd == g_filteredDialog || ::IsChild(g_filteredDialog, msg->hwnd)))
        return TRUE;
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

void CClientValidator::LayoutClient(const RECT& client) {
    if (!progress_) return;
    RECT bar{};
    ::GetWindowRect(progress_, &bar);
    const int width = bar.right - bar.left;
    const int height = bar.bottom - bar.top;
    const int x = client.left + ((client.right - client.left) - width) / 2;
    const int y = client.top + ((client.bottom - client.top) - height) / 2;
    ::SetWindowPos(progress_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CClientValidator::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        // Only the worker's own close ends the dialog: until then start-up
        // must not go on with an outcome still to be written.
        if (workerDone_) {
            if (worker_.joinable()) worker_.join();
            End(IDOK);
        }
        return 0;
    case kHideMessage:
        StayHidden(true);
        ::ShowWindow(Handle(), SW_HIDE);
        return 0;
    case WM_DESTROY:
        if (keyFilter_) ::UnhookWindowsHookEx(keyFilter_);
        keyFilter_ = nullptr;
        g_filteredDialog = nullptr;
        progress_ = nullptr;
        break;
    default:
        break;
    }
    return COvekDialog::WindowProc(msg, wp, lp);
}

void CClientValidator::Work() {
    ::Sleep(kWorkerStartDelayMs);
    try {
        ReactTo(CheckVersion());
    } catch (...) {
        // Nothing escapes the thread; what was decided so far stands.
    }
    workerDone_ = true;
    ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

void CClientValidator::ReactTo(int code) {
    const InstallerContext& context = TheContext();
    const std::wstring& caption = context.manifest.shortName;
    const HWND dialog = Handle();
    auto hide = [dialog] { ::SendMessageW(dialog, kHideMessage, 0, 0); };

    switch (ActionForCheck(code)) {
    case ValidationAction::GoOn:
        break;
    case ValidationAction::ConnectionError:
        hide();
        ShowMessageBox(dialog, context.language.LookUpText(IDS_ERR_CONNECT_DOWNLOAD_SERVER), caption, MB_ICONERROR);
        outcome = kStop;
        break;
    case ValidationAction::AnotherVersion:
        hide();
        ShowMessageBox(dialog, FormatText(context.language.LookUpText(IDS_ERR_INSTALLED_ANOTHER_VERSION), {caption}),
                       caption, MB_ICONERROR);
        outcome = kStop;
        break;
    case ValidationAction::OfferLaunch: {
        hide();
        const int answer =
            ShowMessageBox(dialog, FormatText(context.language.LookUpText(IDS_ERR_INSTALLED_ALREADY), {caption}),
                           caption, MB_YESNO | MB_ICONERROR);
        outcome = kStop;
        if (answer != IDYES) break;
        const std::wstring program = context.InstalledProductExecutable();
        if (program.empty() || !::PathFileExistsW(program.c_str())) break;
        const HRESULT com = ::CoInitialize(nullptr);
        LaunchAsDesktopUser(program);
        if (SUCCEEDED(com)) ::CoUninitialize();
        break;
    }
    case ValidationAction::DownloadNewInstaller:
        // Without a newer installer the wizard runs with this one.
        if (DownloadNewInstaller()) outcome = kStartUpdater;
        break;
    }
}

std::wstring CClientValidator::UpdaterFilePath() {
    wchar_t temp[261] = {};
    const DWORD length = ::GetTempPathW(261, temp);
    if (length == 0 || length >= 261) return L"";
    const std::wstring folder =
        std::wstring(temp) + L"OvekWebInstaller_" + DecimalText(static_cast<int>(::GetTickCount()));
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);  // makes every missing parent too
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return L"";
    return folder + L"\\" + UpdaterFileName(TheContext().manifest.fullName);
}

int CClientValidator::DownloadNewInstaller() {
    const ProductManifest& manifest = TheContext().manifest;
    const COvekMasterInstallerApp& app = TheApp();
    const std::wstring& url = app.productInstalled || app.relatedProductInstalled
                                  ? manifest.patchInstall.webInstallerDownloadUrl
                                  : manifest.freshInstall.webInstallerDownloadUrl;
    if (url.empty()) return 0;
    updaterPath = UpdaterFilePath();
    const bool fetched =
        !updaterPath.empty() && FetchToFile(url, updaterPath, kInstallerLimits) && LooksLikeProgram(updaterPath);
    if (!fetched) updaterPath.clear();
    return fetched ? 1 : 0;
}

}  // namespace ovek
