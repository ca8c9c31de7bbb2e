#include "engine/InstallEngine.h"
#include "framework/DecimalText.h"

#include <msi.h>
#include <shlwapi.h>

#include <algorithm>
#include <functional>
#include <map>

#include "app/AnsiText.h"
#include "app/COvekMasterInstallerApp.h"
#include "engine/CommandLines.h"
#include "engine/Registration.h"
#include "framework/MessageBox.h"
#include "manifest/InstallerContext.h"
#include "net/HttpTransfer.h"
#include "net/InternetSession.h"
#include "validate/VersionCheck.h"
#include "engine/ProductDetection.h"

namespace ovek {
namespace {

constexpr DWORD kMsiMessageFilter = 0x8007FDF;
constexpr INSTALLUILEVEL kSilentWithSourceResolution = static_cast<INSTALLUILEVEL>(0x102);
constexpr UINT kVersionMessageStyle = MB_OKCANCEL | MB_ICONERROR;  // 0x11
constexpr wchar_t kVersionMessageCaption[] = L"Windows Installer";

bool FileExists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The extension of the file name, from its last dot, in lower case.
std::wstring LowerExtension(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    const auto dot = path.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return std::wstring();
    std::wstring ext = path.substr(dot);
    for (auto& c : ext)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return ext;
}

void Trace(const std::wstring& text) {
    ::OutputDebugStringW(text.c_str());
}

}  // namespace

bool IsKnownDependencyPresent(const std::wstring& name) {
    // Prerequisites we know how to look for. Neither is looked for yet, so
    // both are always installed.
    static const std::map<std::string, std::function<bool()>> known = {
        {"webview2.exe", [] { return false; }},
        {"vc_redist.exe", [] { return false; }},
    };
    const auto it = known.find(ToThreadAnsi(name));
    return it != known.end() && it->second();
}

InstallEngine::InstallEngine()
    : progress_([this](std::int32_t percent) { status_.SetStatus(kStateInstalling, itemIndex_, percent); }),
      cancelEvent_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      continueEvent_(::CreateEventW(nullptr, TRUE, TRUE, nullptr)),
      caption_(TheContext().manifest.shortName) {}

InstallEngine::~InstallEngine() {
    if (worker_.valid()) {
        // A panel that goes away while the run is still going would otherwise
        // wait on a paused transfer for ever.
        if (worker_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) RequestCancel();
        worker_.wait();
    }
}

void InstallEngine::Start() {
    if (worker_.valid()) return;  // started once, never restarted
    caption_ = TheContext().manifest.shortName;
    BuildPlan();
    EnsureInternetSession();
    worker_ = std::async(std::launch::async, [this] { RunWorker(); });
}

void InstallEngine::RequestCancel() {
    // The state goes first: a worker that sees the flags and ends must find
    // "cancelling" already written, or it would report a failure.
    if (cancelEvent_ && continueEvent_) {
        status_.TrySetCancelling();
    } else if (!IsFinalState(status_.State())) {
        status_.SetStatus(kStateCancelled, -1, 0);
    }
    if (betweenCancelSteps) betweenCancelSteps();
    msiCancelRequested_ = 1;
    cancelled_ = 1;
    if (cancelEvent_ && continueEvent_) {
        ::SetEvent(cancelEvent_.get());
        ::SetEvent(continueEvent_.get());  // a paused transfer must wake up to see it
    }
}

void InstallEngine::Pause() {
    if (continueEvent_) ::ResetEvent(continueEvent_.get());
}

void InstallEngine::Resume() {
    if (continueEvent_) ::SetEvent(continueEvent_.get());
}

std::wstring InstallEngine::InstallHomepageUrl() const {
    std::lock_guard<std::mutex> lock(urlMutex_);
    return installHomepageUrl_;
}

void InstallEngine::AddItem(PlanItem item, std::int32_t weight) {
    if (item.needsDownload) downloadWeights_.push_back(weight);
    installWeights_.push_back(weight);
    plan_.push_back(std::move(item));
}

void InstallEngine::AddLanguagePack(std::int32_t languageId) {
    auto& context = TheContext();
    for (const auto& pack : context.manifest.languagePacks) {
        if (pack.langId != languageId) continue;
        AddItem({pack.name, pack.fullUrl, context.LanguagePackFilePath(languageId), L"/s",
                 context.manifest.standalone ? 0 : 1},
                5);
        return;
    }
}

void InstallEngine::BuildPlan() {
    auto& context = TheContext();
    const auto& manifest = context.manifest;
    const auto& app = TheApp();
    plan_.clear();
    downloadWeights_.clear();
    installWeights_.clear();
    const std::int32_t download = manifest.standalone ? 0 : 1;

    for (const auto& dependency : manifest.dependencies) {
        if (IsKnownDependencyPresent(dependency.name)) continue;
        AddItem({dependency.name, dependency.fullUrl, context.ComponentFilePath(dependency.name),
                 dependency.installCommandLine, download},
                40);
    }

    const auto& main = manifest.mainComponent;
    const std::wstring mainUrl = app.productInstalled && !main.patchUrl.empty() ? main.patchUrl : main.fullUrl;
    AddItem({main.name, mainUrl, context.msiFolder + main.name, L"", download}, 50);

    const std::int32_t language = context.language.LanguageId();
    for (const auto& transform : manifest.transforms) {
        if (transform.langId != language) continue;
        AddItem({transform.name, transform.fullUrl, TransformPath(context.transformFolder, language), L"", download},
                5);
        break;
    }

    if (app.productInstalled || app.relatedProductInstalled) {
        for (auto id : InstalledLanguagePacks()) AddLanguagePack(id);
    } else if (language != 1033) {
        AddLanguagePack(language);
    }

    status_.SetWeights(downloadWeights_, installWeights_);
}

void InstallEngine::RunWorker() {
    try {
        RunInstallation();
    } catch (...) {
        // Whatever went wrong, the interface must see a final state.
        if (status_.State() != kStateCancelling) status_.SetStatus(kStateFailed, -1, 0);
        if (status_.State() == kStateCancelling) status_.SetStatus(kStateCancelled, -1, 0);
    }
}

void InstallEngine::RunInstallation() {
    auto& context = TheContext();
    if (RecheckVersion() && DownloadAll() && InstallAll()) {
        RegistrationInput registration;
        registration.productInstalled = TheApp().productInstalled != 0;
        registration.executablePath = context.ProductExecutablePath();
        registration.registryKey = context.manifest.registryKey;
        registration.languageId = static_cast<std::uint32_t>(context.language.LanguageId());
        RegisterInstallation(registration);
        context.installHomepageUrl = InstallHomepageUrl();
        FinishRun(true);
    } else {
        FinishRun(false);
    }
}

void InstallEngine::FinishRun(bool succeeded) {
    if (status_.State() != kStateCancelling) {
        if (succeeded) {
            status_.SetStatus(kStateFinished, -1, 0);
        } else {
            if (errorKind_ == 4)
                ShowMessageBox(nullptr, LookUpEngineText(EngineText::ErrConnectDownloadServer),
                               TheContext().manifest.shortName, MB_OK | MB_ICONERROR);
            status_.SetStatus(kStateFailed, -1, 0);
        }
    }
    if (status_.State() == kStateCancelling) status_.SetStatus(kStateCancelled, -1, 0);
}

bool InstallEngine::RecheckVersion() {
    auto& context = TheContext();
    const auto& manifest = context.manifest;
    if (!manifest.standalone) {
        const std::wstring path = context.ComponentFilePath(L"version.xml");
        CDownloadJob job(manifest.versionCheckUrl, path);
        if (!RunDownload(job, this, DownloadStatusHandler()) || !ParseVersionDocument(path)) {
            errorKind_ = 4;
            return false;
        }
    }
    std::wstring message;
    switch (DecideInstall()) {
    case InstallDecision::Proceed: return true;
    case InstallDecision::AlreadyInstalled:
        message = FormatText(LookUpEngineText(EngineText::ErrInstalledAlready), {manifest.shortName});
        break;
    case InstallDecision::AnotherVersionInstalled:
        message = FormatText(LookUpEngineText(EngineText::ErrInstalledAnotherVersion), {manifest.shortName});
        break;
    case InstallDecision::ClientTooOld: message = LookUpEngineText(EngineText::ErrClientTooOld); break;
    default: return false;
    }
    ShowMessageBox(TheApp().MainWindow(), message, kVersionMessageCaption, kVersionMessageStyle);
    return false;
}

bool InstallEngine::DownloadAll() {
    std::int32_t n = 0;
    for (const auto& item : plan_) {
        if (cancelled_) return false;
        if (!item.needsDownload) continue;
        CDownloadJob job(item.url, item.localPath);
        // The job's last report says 0 %; the bar must not step back for it.
        std::int32_t highest = 0;
        const bool ok = RunDownload(job, this, [this, n, &highest](const DownloadStatusInfo& info) {
            highest = std::max<std::int32_t>(highest, static_cast<std::int32_t>(DownloadPercent(info)));
            status_.SetStatus(kStateDownloading, n, highest);
        });
        if (!ok) {
            errorKind_ = 4;
            return false;
        }
        ++n;
    }
    return true;
}

bool InstallEngine::InstallAll() {
    itemIndex_ = 0;
    for (const auto& item : plan_) {
        if (cancelled_) return false;
        if (!FileExists(item.localPath)) continue;
        status_.SetStatus(kStateInstalling, itemIndex_, 0);
        const std::wstring ext = LowerExtension(item.localPath);
        bool ok = true;
        if (ext == L".exe")
            RunExecutablePackage(item);  // its outcome does not stop the installation
        else if (ext == L".msi")
            ok = InstallMsiPackage(item);
        if (!ok) return false;
        status_.SetStatus(kStateInstalling, itemIndex_, 100);
        ++itemIndex_;
    }
    return true;
}

bool InstallEngine::RunExecutablePackage(const PlanItem& item) {
    std::wstring commandLine = ExecutableCommandLine(item.localPath, item.commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    // No time-out: the package decides how long it takes.
    ::WaitForSingleObject(process.get(), INFINITE);
    return true;
}

bool InstallEngine::InstallMsiPackage(const PlanItem& item) {
    auto& context = TheContext();
    const auto& app = TheApp();
    progress_.ResetForPackage();
    // A cancellation requested just before this package must still reach it.
    msiCancelRequested_ = cancelled_.load();

    ::MsiSetInternalUI(kSilentWithSourceResolution, nullptr);
    ::MsiSetExternalUIW(&InstallEngine::MsiMessageHandler, kMsiMessageFilter, this);

    MsiCommandLineInput input;
    input.productInstalled = app.productInstalled != 0;
    input.relatedProductInstalled = app.relatedProductInstalled != 0;
    input.installFolder = context.installFolder;
    input.installFolderExists = !context.installFolder.empty() && ::PathFileExistsW(context.installFolder.c_str());
    input.languageId = context.language.LanguageId();
    input.transformFolder = context.transformFolder;
    const std::wstring commandLine = MsiCommandLine(input);

    const UINT result =
        ::MsiInstallProductW(item.localPath.c_str(), commandLine.empty() ? nullptr : commandLine.c_str());
    lastMsiResult_ = result;
    // The handler points at this engine, which may go away before the process.
    ::MsiSetExternalUIW(nullptr, 0, nullptr);
    if (result == ERROR_SUCCESS) return true;
    Trace(L"ZOMP_DEBUG: MSI Installation failed. Error Code: " + DecimalText(result) + L"\r\n");
    return result == ERROR_SUCCESS_REBOOT_REQUIRED;
}

INT CALLBACK InstallEngine::MsiMessageHandler(LPVOID context, UINT type, LPCWSTR text) {
    return static_cast<InstallEngine*>(context)->HandleMsiMessage(type, text);
}

int InstallEngine::HandleMsiMessage(UINT type, LPCWSTR text) {
    if (progress_.firstMessage) {
        ::MsiSetInternalUI(INSTALLUILEVEL_BASIC, nullptr);
        progress_.firstMessage = false;
    }
    if (!text) return 0;
    Trace(std::wstring(L"\r\n ") + text);
    const UINT style = type & 0x00FFFFFF;
    switch (type & 0xFF000000) {
    case 0x00000000:  // fatal exit
    case 0x01000000:  // error
    case 0x07000000:  // out of disk space
        return ShowMessageBox(TheApp().MainWindow(), text, caption_, style);
    case 0x04000000: {  // information: the log
        std::lock_guard<std::mutex> lock(urlMutex_);
        ScanLogLine(text, installHomepageUrl_);
        return 1;
    }
    case 0x0A000000:  // progress
        return progress_.ParseProgressMessage(text, msiCancelRequested_ != 0);
    case 0x05000000:  // files in use
    case 0x06000000:  // resolve source: Windows Installer's own interface does it
        return 0;
    case 0x08000000:  // action start
    case 0x09000000:  // action data
        // Also answer a pending cancellation here: some Windows Installer
        // versions act only on these answers, never on a progress answer.
        return msiCancelRequested_ ? IDCANCEL : 1;
    case 0x02000000:  // warning
    case 0x03000000:  // user
    case 0x0B000000:  // common data
    case 0x0C000000:  // initialize
    case 0x0D000000:  // terminate
    case 0x0E000000:  // show dialog
    case 0x1B000000:  // install end
        return 1;
    default:
        return 0;
    }
}

}  // namespace ovek
