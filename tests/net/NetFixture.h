#pragma once
// What the network tests share: one local server for the whole program, a
// file that records each write, and a callback that records each report.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "net/CDownloadJob.h"
#include "net/HttpTransfer.h"
#include "support/ServerSuite.h"

namespace ovek::nettest {

class ServerTest : public test::ServerSuite {
protected:
    // A route for a generated body of `size` bytes.
    static std::wstring Serve(const std::string& path, std::uint64_t size, std::uint64_t rate = 0) {
        test::HttpRoute route;
        route.path = path;
        route.patternSize = size;
        route.bytesPerSecond = rate;
        EXPECT_TRUE(server_->SetRoute(route));
        return server_->Url(path);
    }

};

// Keeps every write with its offset, so a test sees the block sizes.
class RecordingFile final : public IOutputFile {
public:
    struct Block {
        std::uint64_t offset;
        std::size_t size;
    };
    bool Seek(std::uint64_t offset) override {
        position_ = offset;
        return true;
    }
    bool Write(const void* data, std::size_t size) override {
        if (content.size() < position_ + size) content.resize(position_ + size);
        std::memcpy(content.data() + position_, data, size);
        writes.push_back({position_, size});
        position_ += size;
        return true;
    }
    bool Flush() override {
        ++flushes;
        return true;
    }

    std::string content;
    std::vector<Block> writes;
    int flushes = 0;

private:
    std::uint64_t position_ = 0;
};

// Collects a fetched document.
class StringSink final : public IByteSink {
public:
    bool Write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
        return true;
    }
    std::string text;
};

// Records every report; `onReport` runs on the transfer's thread.
class RecordingCallback final : public IDownloadCallback {
public:
    void OnStatus(DownloadStatusInfo& info) override {
        {
            std::lock_guard<std::mutex> hold(lock_);
            reports.push_back(info);
            times.push_back(::GetTickCount());
        }
        count.store(reports.size());
        bytesDone.store(info.bytesDone);
        if (onReport) onReport(info);
    }
    std::vector<DownloadStatusInfo> Reports() {
        std::lock_guard<std::mutex> hold(lock_);
        return reports;
    }

    std::function<void(const DownloadStatusInfo&)> onReport;
    std::vector<DownloadStatusInfo> reports;
    std::vector<DWORD> times;
    std::atomic<std::size_t> count{0};
    std::atomic<std::uint64_t> bytesDone{0};

private:
    std::mutex lock_;
};

inline std::string ReadWholeFile(const std::wstring& path) {
    std::string data;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return data;
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) data.append(chunk, got);
    ::CloseHandle(file);
    return data;
}

inline bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace ovek::nettest
