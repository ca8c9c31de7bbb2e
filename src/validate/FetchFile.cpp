#include "validate/FetchFile.h"

#include <chrono>
#include <ostream>
#include <streambuf>

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
class CappedFileBuffer final : public std::streambuf {
public:
    CappedFileBuffer(CDownloadFile& file, std::uint64_t cap) : file_(file), left_(cap) {}

protected:
    std::streamsize xsputn(const char* data, std::streamsize count) override {
        const auto size = static_cast<std::uint64_t>(count);
        if (count < 0 || size > left_ || !file_.Write(data, static_cast<std::size_t>(size))) return 0;
        left_ -= size;
        return count;
    }
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
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
        CappedFileBuffer buffer(file, limits.maxBytes);
        std::ostream out(&buffer);
        fetched = FetchToStream(Deadline(limits.maxMilliseconds), url, out);
    } catch (...) {
        fetched = false;
    }
    // The last bytes reach the file only here.
    if (!file.Flush()) fetched = false;
    file.Close();
    return fetched;
}

}  // namespace ovek
