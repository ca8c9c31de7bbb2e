#include "net/CDownloadJob.h"

#include <exception>
#include <optional>

#include "net/HttpTransfer.h"

namespace ovek {

CDownloadEvents::CDownloadEvents()
    : cancelEvent_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      continueEvent_(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

void CDownloadJob::OnStatus(DownloadStatusInfo& info) {
    if (!statusHandler) return;
    if (bytesTotal != 0) info.bytesTotal = static_cast<std::uint64_t>(bytesTotal);
    statusHandler(info);
}

bool RunDownload(CDownloadJob& job, const IDownloadOwner* owner, DownloadStatusHandler handler) {
    if (!owner) return false;
    job.owner = owner;
    job.statusHandler = std::move(handler);

    DownloadStatusInfo status;
    const CancelRequest cancel(owner->CancelEvent(), owner->ContinueEvent());
    if (cancel.IsCancelled()) {
        status.state = DownloadState::Failed;
        job.OnStatus(status);
        return false;
    }

    bool result = false;
    std::optional<CDownloadFile> file;
    try {
        status.state = DownloadState::InProgress;
        job.OnStatus(status);

        job.bytesTotal = QueryContentLength(job.url);
        if (job.bytesTotal != 0) {
            status.bytesDone = 0;
            status.bytesTotal = static_cast<std::uint64_t>(job.bytesTotal);
            file.emplace(job.destinationPath);
            if (file->IsOpen()) result = DownloadToFile(cancel, job.url, *file, &job);
            file.reset();
        }
        status.state = DownloadState::InProgress;
        status.bytesDone = 0;
        job.OnStatus(status);
    } catch (const std::exception&) {
        file.reset();
        status.state = DownloadState::Failed;
        try {
            job.OnStatus(status);
        } catch (const std::exception&) {
            // The handler failed again; the result already says enough.
        }
    }
    return result;
}

}  // namespace ovek
