#pragma once
// One remote file fetched into one local file, with its progress turned into
// calls its owner can use.
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>

#include "framework/Handles.h"
#include "net/DownloadStatus.h"

namespace ovek {

using DownloadStatusHandler = std::function<void(const DownloadStatusInfo&)>;

// The object whose two manual-reset events govern a download: cancelEvent
// signalled means stop, continueEvent cleared means hold. The events are
// only tested here, never closed.
class IDownloadOwner {
public:
    virtual HANDLE CancelEvent() const = 0;
    virtual HANDLE ContinueEvent() const = 0;

protected:
    ~IDownloadOwner() = default;
};

// An owner that makes its own pair of events: not cancelled, not held.
class CDownloadEvents final : public IDownloadOwner {
public:
    CDownloadEvents();
    HANDLE CancelEvent() const override { return cancelEvent_.get(); }
    HANDLE ContinueEvent() const override { return continueEvent_.get(); }

    void RequestCancel() { ::SetEvent(cancelEvent_.get()); }
    void Pause() { ::ResetEvent(continueEvent_.get()); }
    void Resume() { ::SetEvent(continueEvent_.get()); }

private:
    UniqueHandle cancelEvent_;
    UniqueHandle continueEvent_;
};

class CDownloadJob final : public IDownloadCallback {
public:
    CDownloadJob(std::wstring url, std::wstring destinationPath)
        : url(std::move(url)), destinationPath(std::move(destinationPath)) {}
    CDownloadJob(const CDownloadJob&) = delete;
    CDownloadJob& operator=(const CDownloadJob&) = delete;

    // Stamps the job's size on the report (once known) and hands it on.
    void OnStatus(DownloadStatusInfo& info) override;

    std::wstring url;
    std::wstring destinationPath;
    std::int64_t bytesTotal = 0;
    const IDownloadOwner* owner = nullptr;
    DownloadStatusHandler statusHandler;
};

// Carries a fresh job from start to end: the size query, the destination
// file, the transfer and the reports. True when the file arrived whole and
// nothing was cancelled. A failure leaves what was written in place.
bool RunDownload(CDownloadJob& job, const IDownloadOwner* owner, DownloadStatusHandler handler);

}  // namespace ovek
