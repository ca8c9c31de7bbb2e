#pragma once
// The installation: the plan of packages built from the manifest, and one
// background worker that checks the version again, downloads every package,
// installs them and records the result. The interface never waits on the
// worker; it polls TakeStatusSnapshot and may pause, resume or cancel.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "engine/InstallStatus.h"
#include "engine/PackageProgress.h"
#include "engine/PlanItem.h"
#include "framework/Handles.h"
#include "net/CDownloadJob.h"

namespace ovek {

// Whether a prerequisite is already on the machine, by its file name.
// Unknown names count as missing.
bool IsKnownDependencyPresent(const std::wstring& name);

class InstallEngine final : public IDownloadOwner {
public:
    InstallEngine();
    // Waits for the worker; a run still going is cancelled first, so the
    // wait ends.
    ~InstallEngine();
    InstallEngine(const InstallEngine&) = delete;
    InstallEngine& operator=(const InstallEngine&) = delete;

    // Interface thread, once: builds the plan and launches the worker.
    void Start();
    // Interface thread: stop at the next check; a final state is kept.
    void RequestCancel();
    // Hold and release the downloads (while the user is asked to confirm).
    void Pause();
    void Resume();

    StatusSnapshot TakeStatusSnapshot() { return status_.TakeStatusSnapshot(); }
    InstallStatus& Status() { return status_; }

    // The plan from the manifest and the installed state; weights go to the
    // status record. Start runs it; exposed so the plan can be inspected.
    void BuildPlan();
    const std::vector<PlanItem>& Plan() const { return plan_; }

    // Package execution, on the worker.
    static bool RunExecutablePackage(const PlanItem& item);
    bool InstallMsiPackage(const PlanItem& item);
    static INT CALLBACK MsiMessageHandler(LPVOID context, UINT type, LPCWSTR text);

    // IDownloadOwner
    HANDLE CancelEvent() const override { return cancelEvent_.get(); }
    HANDLE ContinueEvent() const override { return continueEvent_.get(); }

    std::wstring InstallHomepageUrl() const;
    std::int32_t ErrorKind() const { return errorKind_; }
    // Windows Installer's answer for the last package it installed.
    UINT LastMsiResult() const { return lastMsiResult_; }
    // Set by the status panel once the user confirmed a cancellation.
    std::int32_t cancelConfirmed = 0;

    // The worker's last step: the final state after a run that succeeded or
    // not, with the failure message. Public so a test can end a run at any
    // chosen moment.
    void FinishRun(bool succeeded);
    // Runs inside RequestCancel after the state is written and before the
    // flags the worker looks at are raised: the moment a worker may end.
    std::function<void()> betweenCancelSteps;
    bool CancelRequested() const { return cancelled_ != 0; }

private:
    void RunInstallation();
    void RunWorker();
    bool RecheckVersion();
    bool DownloadAll();
    bool InstallAll();
    void AddItem(PlanItem item, std::int32_t weight);
    void AddLanguagePack(std::int32_t languageId);
    int HandleMsiMessage(UINT type, LPCWSTR text);

    std::vector<PlanItem> plan_;
    std::vector<std::int32_t> downloadWeights_;
    std::vector<std::int32_t> installWeights_;
    std::atomic<std::int32_t> itemIndex_{-1};
    PackageProgress progress_;
    std::atomic<std::int32_t> msiCancelRequested_{0};
    std::future<void> worker_;
    UniqueHandle cancelEvent_;
    UniqueHandle continueEvent_;
    std::atomic<std::int32_t> cancelled_{0};
    mutable std::mutex urlMutex_;
    std::wstring installHomepageUrl_;
    std::atomic<std::int32_t> errorKind_{0};
    std::atomic<UINT> lastMsiResult_{0};
    InstallStatus status_;
    std::wstring caption_;  // message boxes of Windows Installer
};

}  // namespace ovek
