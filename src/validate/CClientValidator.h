#pragma once
// The start-up dialog that checks this installer against the maker's version
// document and may hand over to a newer installer. A small skinned window
// with a running progress bar; a worker thread does the checking, shows any
// message itself and ends the dialog when it is done.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "controls/COvekDialog.h"

namespace ovek {

// What the worker does with the version check's answer.
enum class ValidationAction {
    GoOn,                 // to the wizard
    ConnectionError,      // tell the user, stop
    AnotherVersion,       // tell the user, stop
    OfferLaunch,          // ask whether to start the installed product, stop
    DownloadNewInstaller  // fetch the newer installer; stop only when that worked
};
ValidationAction ActionForCheck(int code);

// The newer installer's file name: the product's full name made safe as one
// file name, and ".exe".
std::wstring UpdaterFileName(const std::wstring& fullName);

class CClientValidator : public COvekDialog {
public:
    enum Outcome { kContinue = 0, kStop = 1, kStartUpdater = 2 };

    // The validator lives as long as the process: it opens the internet
    // session that every transfer shares, and closes it at the end.
    CClientValidator();
    ~CClientValidator() override;

    // Runs the dialog modally; returns once the worker has finished, with
    // outcome (and updaterPath for kStartUpdater) set.
    void RunModal();

    // Fetches the newer installer into UpdaterFilePath; non-zero on success.
    // updaterPath names the file afterwards, or is empty when it failed.
    int DownloadNewInstaller();
    // A new folder in the user's temporary folder and the product's file name
    // in it; empty when the folder cannot be made.
    static std::wstring UpdaterFilePath();

    bool WorkerRunning() const { return worker_.joinable() && !workerDone_; }

    std::wstring title;
    std::wstring updaterPath;
    int outcome = kContinue;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnInitDialog() override;
    // Enter and Escape do nothing here.
    void OnOK() override {}
    void OnCancel() override {}
    void LayoutClient(const RECT& client) override;

private:
    void Work();
    void ReactTo(int code);
    void HideForSilentRun();
    static LRESULT CALLBACK SwallowKeys(int code, WPARAM wp, LPARAM lp);

    HWND progress_ = nullptr;
    std::thread worker_;
    std::atomic<bool> workerDone_{false};
    HHOOK keyFilter_ = nullptr;
};

}  // namespace ovek
