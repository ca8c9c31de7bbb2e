#pragma once
// Progress and cancellation records shared by every transfer, the download
// jobs and their owners. Platform-free: no Windows types here.
#include <cstdint>
#include <string>

namespace ovek {

enum class DownloadState : std::int32_t {
    Idle = 0,        // record created, nothing started (never reported)
    InProgress = 2,  // a job has started, and for every chunk received
    Completed = 3,   // the transfer loop ended without a cancellation request
    Cancelled = 4,   // the transfer loop ended because cancellation was requested
    Failed = 5,      // cancelled before the job began, or an exception escaped the job
};

struct DownloadStatusInfo {
    DownloadState state = DownloadState::Idle;
    std::uint64_t bytesDone = 0;   // received so far by the current transfer
    std::uint64_t bytesTotal = 0;  // size of the remote file; 0 until known
    std::uint32_t errorCode = 0;   // last system error of the transfer; 0 = none
    std::wstring errorText;        // short failure text; empty = none
};

class IDownloadCallback {
public:
    // The receiver may complete the record before passing it on.
    virtual void OnStatus(DownloadStatusInfo& info) = 0;

protected:
    ~IDownloadCallback() = default;
};

class ICancelRequest {
public:
    // Both are cheap, non-blocking queries, asked once per turn of a transfer loop.
    virtual bool IsCancelled() const = 0;
    virtual bool IsPaused() const = 0;

protected:
    ~ICancelRequest() = default;
};

// Percentage of a report for a progress bar: 0 while the size is unknown,
// truncating, never above 100 even when a server sends more than it announced.
inline unsigned DownloadPercent(const DownloadStatusInfo& info) {
    if (info.bytesTotal == 0) return 0;
    if (info.bytesDone >= info.bytesTotal) return 100;
    // bytesDone < bytesTotal, so bytesDone * 100 overflows only for totals
    // near 2^57 bytes; divide first there.
    if (info.bytesDone > UINT64_MAX / 100) {
        const std::uint64_t rough = info.bytesDone / (info.bytesTotal / 100);
        return static_cast<unsigned>(rough > 99 ? 99 : rough);
    }
    return static_cast<unsigned>(info.bytesDone * 100 / info.bytesTotal);
}

}  // namespace ovek
