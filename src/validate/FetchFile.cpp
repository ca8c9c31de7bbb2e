#include "validate/FetchFile.h"

#include <chrono>

#include "net/HttpTransfer.h"

namespace ovek {
namespace {

// Stops the transfer once its time is up; it never holds.
class Deadline final : public ICancelRequest {
public:
    explicit Deadline(unsigned milliseconds)
        : end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds)) {}
    bool IsCancelled() const override { return std::chrono::steady_clock::now() >= end_; }
    bool IsPaused() const override { return false; }

private:
    std::chrono::steady_clock::time_point end_;
};

// Passes bytes to the file until the cap; a write beyond it fails, which
// ends the fetch as broken.
class CappedFile final : public IByteSink {
public:
    CappedFile(CDownloadFile& file, std::uint64_t cap) : file_(file), left_(cap) {}
    bool Write(const void* data, std::size_t size) override {
        if (size > left_ || !file_.Write(data, size)) return false;
        left_ -= size;
        return true;
    }

private:
    CDownloadFile& file_;
    std::uint64_t left_;
};

}  // namespace

bool FetchToFile(const std::wstring& url, const std::wstring& path, const FetchLimits& limits) {
    CDownloadFile file(path);
    if (!file.IsOpen()) return false;
    bool fetched = false;
    try {
        CappedFile out(file, limits.maxBytes);
        fetched = FetchToStream(Deadline(limits.maxMilliseconds), url, out);
    } catch (...) {
        fetched = false;
    }
    // The last bytes reach the file only here.
    if (!file.Close()) fetched = false;
    return fetched;
}

}  // namespace ovek
