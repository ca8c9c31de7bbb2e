#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "NetFixture.h"
#include "net/CDownloadJob.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

using nettest::FileExists;
using nettest::ReadWholeFile;
using test::HttpRoute;
using test::PatternBytes;

class DownloadJob : public nettest::ServerTest {
protected:
    void SetUp() override {
        nettest::ServerTest::SetUp();
        folder_ = test::MakeTempFolder(L"net-" + std::to_wstring(++counter_));
    }
    std::wstring Destination(const wchar_t* name) const { return folder_ + L"\\" + name; }

    // Runs a job and keeps every report the handler saw.
    bool Run(const std::wstring& url, const std::wstring& destination, const IDownloadOwner* owner,
             std::function<void(const DownloadStatusInfo&)> also = nullptr) {
        CDownloadJob job(url, destination);
        return RunDownload(job, owner, [this, also](const DownloadStatusInfo& info) {
            reports.push_back(info);
            if (also) also(info);
        });
    }

    std::vector<DownloadStatusInfo> reports;
    std::wstring folder_;
    static inline int counter_ = 0;
};

TEST_F(DownloadJob, SuccessfulJobReportsInOrderAndEndsOnZero) {
    constexpr std::uint64_t kSize = 300000;
    const std::wstring url = Serve("/pkg/main.msi", kSize);
    CDownloadEvents events;
    const std::wstring target = Destination(L"main.msi");
    ASSERT_TRUE(Run(url, target, &events));
    EXPECT_TRUE(ReadWholeFile(target) == PatternBytes(kSize));

    ASSERT_GE(reports.size(), 4u);
    EXPECT_EQ(reports.front().state, DownloadState::InProgress);
    EXPECT_EQ(reports.front().bytesDone, 0u);
    EXPECT_EQ(reports.front().bytesTotal, 0u);
    // Every report of the transfer carries the size the query found.
    for (size_t i = 1; i + 1 < reports.size(); ++i) EXPECT_EQ(reports[i].bytesTotal, kSize) << i;
    const auto& completed = reports[reports.size() - 2];
    EXPECT_EQ(completed.state, DownloadState::Completed);
    EXPECT_EQ(reports[reports.size() - 3].bytesDone, kSize);
    const auto& last = reports.back();
    EXPECT_EQ(last.state, DownloadState::InProgress);
    EXPECT_EQ(last.bytesDone, 0u);
    EXPECT_EQ(last.bytesTotal, kSize);
    EXPECT_EQ(DownloadPercent(last), 0u);
}

TEST_F(DownloadJob, RefusedJobsCreateNoFile) {
    HttpRoute empty;
    empty.path = "/empty";
    ASSERT_TRUE(Server().SetRoute(empty));
    HttpRoute missing;
    missing.path = "/gone";
    missing.status = 404;
    missing.body = "not here";
    ASSERT_TRUE(Server().SetRoute(missing));
    const struct {
        const char* path;
    } cases[] = {{"/empty"}, {"/gone"}};
    CDownloadEvents events;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        reports.clear();
        const std::wstring target = Destination(L"refused.bin");
        EXPECT_FALSE(Run(Server().Url(c.path), target, &events));
        EXPECT_FALSE(FileExists(target));
        ASSERT_EQ(reports.size(), 2u);
        for (const auto& r : reports) {
            EXPECT_EQ(r.state, DownloadState::InProgress);
            EXPECT_EQ(r.bytesDone, 0u);
            EXPECT_EQ(r.bytesTotal, 0u);
        }
    }
}

TEST_F(DownloadJob, CancelledBeforeItStartsReportsFailedOnce) {
    const std::wstring url = Serve("/never", 1000);
    CDownloadEvents events;
    events.RequestCancel();
    const std::wstring target = Destination(L"never.bin");
    EXPECT_FALSE(Run(url, target, &events));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].state, DownloadState::Failed);
    EXPECT_EQ(reports[0].bytesDone, 0u);
    EXPECT_EQ(reports[0].bytesTotal, 0u);
    EXPECT_FALSE(FileExists(target));
    EXPECT_TRUE(Server().Requests().empty()) << "no size query is made";

    reports.clear();
    EXPECT_FALSE(Run(url, target, nullptr)) << "a job needs an owner";
    EXPECT_TRUE(reports.empty());
}

TEST_F(DownloadJob, CancelledTransferKeepsItsPartialFile) {
    constexpr std::uint64_t kSize = 2 * 1024 * 1024;
    const std::wstring url = Serve("/slow.msi", kSize, 512 * 1024);
    CDownloadEvents events;
    const std::wstring target = Destination(L"slow.msi");
    EXPECT_FALSE(Run(url, target, &events, [&](const DownloadStatusInfo& info) {
        if (info.bytesDone >= 100 * 1024) events.RequestCancel();
    }));
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports[reports.size() - 2].state, DownloadState::Cancelled);
    EXPECT_EQ(reports.back().state, DownloadState::InProgress);
    EXPECT_EQ(reports.back().bytesDone, 0u);
    const std::uint64_t received = reports[reports.size() - 3].bytesDone;
    EXPECT_TRUE(ReadWholeFile(target) == PatternBytes(received)) << "the partial file stays, whole up to here";
}

TEST_F(DownloadJob, UnwritableDestinationFailsAfterTheQuery) {
    const std::wstring url = Serve("/pkg/lp.msi", 5000);
    CDownloadEvents events;
    const struct {
        const char* name;
        std::wstring target;
    } cases[] = {{"missing folder", folder_ + L"\\no\\such\\folder\\lp.msi"}, {"a folder", folder_}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reports.clear();
        EXPECT_FALSE(Run(url, c.target, &events));
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_EQ(reports.back().state, DownloadState::InProgress);
        EXPECT_EQ(reports.back().bytesTotal, 5000u);
    }
}

TEST_F(DownloadJob, HandlerExceptionEndsTheJobAsFailedAndReleasesEverything) {
    const std::wstring url = Serve("/pkg/throws.msi", 100000);
    CDownloadEvents events;
    const std::wstring target = Destination(L"throws.msi");
    EXPECT_FALSE(Run(url, target, &events, [](const DownloadStatusInfo& info) {
        if (info.bytesDone > 0) throw std::runtime_error("handler gave up");
    }));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().state, DownloadState::Failed);
    // The file was closed and the transfer lock released: the same job runs again.
    reports.clear();
    EXPECT_TRUE(Run(url, target, &events));
    EXPECT_TRUE(ReadWholeFile(target) == PatternBytes(100000));
}

TEST_F(DownloadJob, FetchesAFileTheServerReadsFromDisk) {
    const std::wstring source = Destination(L"served.cab");
    const std::string content = PatternBytes(70000, 13);
    {
        HANDLE file = ::CreateFileW(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    HttpRoute route;
    route.path = "/files/served.cab";
    route.file = source;
    ASSERT_TRUE(Server().SetRoute(route));
    CDownloadEvents events;
    const std::wstring target = Destination(L"fetched.cab");
    EXPECT_TRUE(Run(Server().Url(route.path), target, &events));
    EXPECT_TRUE(ReadWholeFile(target) == content);
}

TEST_F(DownloadJob, ConcurrentJobsBothArriveWhole) {
    const std::wstring a = Serve("/pkg/a.msi", 1500000);
    const std::wstring b = Serve("/pkg/b.msi", 900001);
    CDownloadEvents events;
    bool okA = false, okB = false;
    std::thread other([&] {
        CDownloadJob job(b, Destination(L"b.msi"));
        okB = RunDownload(job, &events, nullptr);
    });
    CDownloadJob job(a, Destination(L"a.msi"));
    okA = RunDownload(job, &events, nullptr);
    other.join();
    EXPECT_TRUE(okA);
    EXPECT_TRUE(okB);
    EXPECT_TRUE(ReadWholeFile(Destination(L"a.msi")) == PatternBytes(1500000));
    EXPECT_TRUE(ReadWholeFile(Destination(L"b.msi")) == PatternBytes(900001));
}

}  // namespace
}  // namespace ovek
