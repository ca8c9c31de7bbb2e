#pragma once
// Blocking HTTP transfers over the process-wide session: a download into a
// file with progress reports, pause and cancellation; a size query; and the
// fetch of a small document into a stream.
#include <windows.h>
#include <cstdint>
#include <cstdio>
#include <string>

#include "net/DownloadStatus.h"
#include "net/InternetSession.h"

namespace ovek {

// Cancel and pause over two manual-reset events borrowed from their owner
// (never closed here): cancelEvent signalled means stop, continueEvent
// cleared means hold. A missing event never cancels or holds.
class CancelRequest final : public ICancelRequest {
public:
    CancelRequest(HANDLE cancelEvent = nullptr, HANDLE continueEvent = nullptr) noexcept
        : cancelEvent_(cancelEvent), continueEvent_(continueEvent) {}
    bool IsCancelled() const override;
    bool IsPaused() const override;

private:
    HANDLE cancelEvent_;
    HANDLE continueEvent_;
};

// Where fetched bytes go, one run after another: the output stream of a
// document fetch. (No iostreams: their locale machinery is most of a
// statically linked executable.)
class IByteSink {
public:
    virtual bool Write(const void* data, std::size_t size) = 0;

protected:
    ~IByteSink() = default;
};

// Where a download writes its blocks.
class IOutputFile : public IByteSink {
public:
    virtual bool Seek(std::uint64_t offset) = 0;  // from the start of the file
    virtual bool Flush() = 0;  // into the system's hands, not onto the disk

protected:
    ~IOutputFile() = default;
};

// A destination file: created or truncated, write only, shared with nobody,
// bytes untranslated.
class CDownloadFile final : public IOutputFile {
public:
    explicit CDownloadFile(const std::wstring& path);
    ~CDownloadFile();
    CDownloadFile(const CDownloadFile&) = delete;
    CDownloadFile& operator=(const CDownloadFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // False when the last buffered bytes could not be written.
    bool Close();

    bool Seek(std::uint64_t offset) override;
    bool Write(const void* data, std::size_t size) override;
    bool Flush() override;

private:
    std::FILE* file_ = nullptr;
};

// Reads the URL in chunks of at most 4096 bytes and writes them to the file in
// blocks of up to 40960 bytes. Reports twice per chunk and once at the end
// (Completed, or Cancelled half a second after a cancellation). True when the
// request was sent, every byte the server announced arrived and reached the
// file, and nothing was cancelled.
bool DownloadToFile(const ICancelRequest& cancel, const std::wstring& url, IOutputFile& file,
                    IDownloadCallback* callback);

// The size of the resource, asked with HEAD and, when HEAD gives no usable
// answer, with GET; 0 when the server cannot be asked, refuses (403, 404, a
// status outside 200 to 500) or names no length.
std::int64_t QueryContentLength(const std::wstring& url);

// Writes the response body, whatever its status, to the sink. True when
// the request was sent, the body arrived whole and nothing was cancelled.
bool FetchToStream(const ICancelRequest& cancel, const std::wstring& url, IByteSink& out);

}  // namespace ovek
