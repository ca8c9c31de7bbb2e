#include <gtest/gtest.h>

#include <iterator>
#include <thread>

#include "net/HttpTransfer.h"
#include "NetFixture.h"

namespace ovek {
namespace {

using nettest::RecordingCallback;
using nettest::RecordingFile;
using nettest::StringSink;
using test::HttpRoute;
using test::PatternBytes;

class Transfer : public nettest::ServerTest {};

TEST_F(Transfer, RequestsCarryTheirShapes) {
    Serve("/shape", 100);
    const std::string target = "/shape?lang=en&v=2";
    const std::wstring url = Server().Url(target);
    RecordingFile file;
    ASSERT_TRUE(DownloadToFile(CancelRequest(), url, file, nullptr));
    ASSERT_EQ(QueryContentLength(url), 100);
    StringSink out;
    ASSERT_TRUE(FetchToStream(CancelRequest(), url, out));

    // A server that refuses HEAD gets the size query again as a GET.
    HttpRoute noHead;
    noHead.path = "/shape";
    noHead.patternSize = 100;
    noHead.head = HttpRoute::HeadAnswer{};
    noHead.head->status = 405;
    ASSERT_TRUE(Server().SetRoute(noHead));
    ASSERT_EQ(QueryContentLength(url), 100);

    const auto requests = Server().Requests();
    ASSERT_EQ(requests.size(), 5u);
    const struct {
        const char* name;
        const char* verb;
        const char* accept;
        bool jsonHeader;
    } expected[] = {{"download", "GET", "*/*", false},
                    {"size query", "HEAD", "application/xml, */*", false},
                    {"fetch", "GET", "application/xml, */*", true},
                    {"size query refused", "HEAD", "application/xml, */*", false},
                    {"size query again", "GET", "application/xml, */*", false}};
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].name);
        const auto& r = requests[i];
        EXPECT_EQ(r.verb, expected[i].verb);
        EXPECT_EQ(r.target, target);
        EXPECT_EQ(r.version, "HTTP/1.1");
        EXPECT_EQ(r.Header("User-Agent").value_or(""), "Tesmo Web Installer Client");
        EXPECT_EQ(r.Header("Accept").value_or(""), expected[i].accept);
        EXPECT_EQ(r.Header("Content-Type").value_or(""), expected[i].jsonHeader ? "application/json" : "");
        EXPECT_FALSE(r.Header("Content-Length").has_value() && r.Header("Content-Length") != "0") << "no body";
    }
}

TEST_F(Transfer, SizeQueryFollowsTheStatusRules) {
    const struct {
        const char* path;
        int status;
        bool omitLength;
        std::int64_t announced;  // -1: the real size (1000)
        std::int64_t expected;
    } cases[] = {
        {"/q200", 200, false, -1, 1000},   {"/q404", 404, false, -1, 0},
        {"/q403", 403, false, -1, 0},      {"/q500", 500, false, -1, 1000},
        {"/q401", 401, false, -1, 1000},   {"/q503", 503, false, -1, 0},
        {"/qnolen", 200, true, -1, 0},     {"/qempty", 200, false, 0, 0},
        // Past 2 GiB and 4 GiB: the size arrives whole, not wrapped or clamped.
        {"/q3g", 200, false, 3221225472LL, 3221225472LL},
        {"/q5g", 200, false, 5368709120LL, 5368709120LL},
    };
    for (const auto& c : cases) {
        HttpRoute route;
        route.path = c.path;
        route.status = c.status;
        route.patternSize = 1000;
        route.omitLength = c.omitLength;
        if (c.announced >= 0) route.announcedLength = c.announced;
        ASSERT_TRUE(Server().SetRoute(route));
        EXPECT_EQ(QueryContentLength(Server().Url(c.path)), c.expected) << c.path;
    }
    EXPECT_EQ(QueryContentLength(L"not a url"), 0);
    EXPECT_EQ(QueryContentLength(L"http://127.0.0.1:1/nothing-listens"), 0);
}

std::string Verbs(const std::vector<test::RecordedRequest>& requests) {
    std::string verbs;
    for (const auto& r : requests) verbs += (verbs.empty() ? "" : " ") + r.verb;
    return verbs;
}

TEST_F(Transfer, SizeQueryAsksWithGetWhenHeadGivesNoUsableAnswer) {
    using Head = HttpRoute::HeadAnswer;
    auto head = [](auto change) {
        Head h;
        change(h);
        return h;
    };
    const struct {
        const char* path;
        Head head;
        std::int64_t getLength;  // -1: the real size (1000)
        std::int64_t expected;
        const char* verbs;
    } cases[] = {
        {"/h-ok", Head{}, -1, 1000, "HEAD"},
        {"/h405", head([](Head& h) { h.status = 405; }), -1, 1000, "HEAD GET"},
        {"/h501", head([](Head& h) { h.status = 501; }), -1, 1000, "HEAD GET"},
        // A pre-signed address is signed for GET only.
        {"/h403", head([](Head& h) { h.status = 403; }), -1, 1000, "HEAD GET"},
        {"/h-nolen", head([](Head& h) { h.omitLength = true; }), -1, 1000, "HEAD GET"},
        {"/h-zero", head([](Head& h) { h.announcedLength = 0; }), -1, 1000, "HEAD GET"},
        // Nobody can tell a wrong length: the HEAD's stands.
        {"/h-wrong", head([](Head& h) { h.announcedLength = 5000; }), -1, 5000, "HEAD"},
        {"/h-3g", head([](Head& h) { h.announcedLength = 3221225472LL; }), -1, 3221225472LL, "HEAD"},
        {"/h405-5g", head([](Head& h) { h.status = 405; }), 5368709120LL, 5368709120LL, "HEAD GET"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        HttpRoute route;
        route.path = c.path;
        route.patternSize = 1000;
        if (c.getLength >= 0) route.announcedLength = c.getLength;
        route.head = c.head;
        ASSERT_TRUE(Server().SetRoute(route));
        ASSERT_TRUE(Server().ClearRequests());
        EXPECT_EQ(QueryContentLength(Server().Url(c.path)), c.expected);
        EXPECT_EQ(Verbs(Server().Requests()), c.verbs);
    }
    HttpRoute gone;
    gone.path = "/gone";
    gone.status = 404;
    gone.head = Head{};
    ASSERT_TRUE(Server().SetRoute(gone));
    EXPECT_EQ(QueryContentLength(Server().Url("/gone")), 0) << "HEAD and GET both 404";
}

TEST_F(Transfer, FaultyHeadAnswersLeaveTheDownloadWhole) {
    using Head = HttpRoute::HeadAnswer;
    const struct {
        const char* path;
        Head head;
        std::int64_t expected;
    } cases[] = {
        // The body after a HEAD answer must not be taken for the next answer
        // on the same connection.
        {"/fh-body", [] { Head h; h.withBody = true; return h; }(), 1000},
        {"/fh-dropped", [] { Head h; h.drop = true; return h; }(), 1000},
        {"/fh-wrong", [] { Head h; h.announcedLength = 999999; h.withBody = true; return h; }(), 999999},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        HttpRoute route;
        route.path = c.path;
        route.patternSize = 1000;
        route.head = c.head;
        ASSERT_TRUE(Server().SetRoute(route));
        const std::wstring url = Server().Url(c.path);
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(QueryContentLength(url), c.expected);
            RecordingFile file;
            EXPECT_TRUE(DownloadToFile(CancelRequest(), url, file, nullptr));
            EXPECT_TRUE(file.content == PatternBytes(1000)) << file.content.size() << " bytes";
        }
    }
}

// A slow HEAD is waited for like a GET: the query sets no time-out of its
// own (the session's apply to both; Wine 8 does not apply a session's
// receive time-out to its requests, so a HEAD that never answers cannot be
// shown ending here).
TEST_F(Transfer, SlowHeadIsWaitedForLikeAGet) {
    HttpRoute route;
    route.path = "/slow-head";
    route.patternSize = 1000;
    route.head = HttpRoute::HeadAnswer{};
    route.head->delayMs = 1500;
    ASSERT_TRUE(Server().SetRoute(route));
    ASSERT_TRUE(Server().ClearRequests());
    EXPECT_EQ(QueryContentLength(Server().Url(route.path)), 1000);
    EXPECT_EQ(Verbs(Server().Requests()), "HEAD");
}

// Writes follow the reads: a block goes out when one more full read would
// overflow 40960 bytes, or after any short read, and the rest at the end.
std::string ShortChunks(const std::vector<size_t>& chunks) {
    std::string text;
    for (size_t i = 0; i < chunks.size(); ++i)
        if (chunks[i] != 4096) text += std::to_string(chunks[i]) + " at " + std::to_string(i) + ", ";
    return text;
}

std::vector<size_t> ExpectedBlocks(const std::vector<size_t>& chunks) {
    std::vector<size_t> blocks;
    size_t buffered = 0;
    for (size_t chunk : chunks) {
        buffered += chunk;
        if (buffered + 4096 > 40960 || chunk < 4096) {
            blocks.push_back(buffered);
            buffered = 0;
        }
    }
    if (buffered) blocks.push_back(buffered);
    return blocks;
}

TEST_F(Transfer, FileArrivesWholeInBlocksOfTenReads) {
    // The body follows the headers after a pause, so that it is read apart
    // from them, in full 4096-byte reads while the socket holds enough (a
    // large body still meets the odd short read: the block rule must follow).
    const struct {
        const char* path;
        std::uint64_t size;
    } cases[] = {{"/three-mb", 3 * 1024 * 1024}, {"/multiple-of-4096", 25 * 4096}, {"/tiny", 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        HttpRoute route;
        route.path = c.path;
        route.patternSize = c.size;
        route.bodyDelayMs = 100;
        ASSERT_TRUE(Server().SetRoute(route));
        const std::wstring url = Server().Url(c.path);
        RecordingFile file;
        RecordingCallback callback;
        ASSERT_TRUE(DownloadToFile(CancelRequest(), url, file, &callback));
        EXPECT_TRUE(file.content == PatternBytes(c.size)) << "content differs, " << file.content.size() << " bytes";

        // Two equal reports per chunk, then Completed.
        const auto& reports = callback.reports;
        ASSERT_GE(reports.size(), 3u);
        ASSERT_EQ(reports.size() % 2, 1u);
        std::vector<size_t> chunks;
        std::uint64_t previous = 0;
        for (size_t i = 0; i + 1 < reports.size(); i += 2) {
            EXPECT_EQ(reports[i].state, DownloadState::InProgress);
            EXPECT_EQ(reports[i].bytesDone, reports[i + 1].bytesDone);
            EXPECT_EQ(reports[i].bytesTotal, 0u);
            chunks.push_back(reports[i].bytesDone - previous);
            EXPECT_LE(chunks.back(), 4096u);
            previous = reports[i].bytesDone;
        }
        EXPECT_EQ(reports[reports.size() - 2].bytesDone, c.size);
        EXPECT_EQ(reports.back().state, DownloadState::Completed);
        EXPECT_EQ(reports.back().errorCode, 0u);
        EXPECT_EQ(reports.back().errorText, L"");

        std::vector<size_t> written;
        std::uint64_t offset = 0;
        for (const auto& w : file.writes) {
            EXPECT_EQ(w.offset, offset);
            offset += w.size;
            written.push_back(w.size);
        }
        EXPECT_EQ(file.flushes, static_cast<int>(file.writes.size()));
        EXPECT_EQ(written, ExpectedBlocks(chunks));
        if (c.size % 4096 == 0 && std::count(chunks.begin(), chunks.end(), 4096u) == long(chunks.size())) {
            // Full reads all the way: blocks of 40960, and what is left once
            // the server has no more (3 MB: 76 blocks and 32768 bytes).
            ASSERT_EQ(written.size(), (c.size + 40959) / 40960);
            EXPECT_EQ(written.back(), c.size % 40960);
        } else if (c.size % 4096 == 0 && c.size <= 200 * 1024) {
            // Small enough to be waiting whole in the socket after the pause.
            ADD_FAILURE() << "short reads: " << ShortChunks(chunks);
        }
    }
}

TEST_F(Transfer, HoldingReadsNothingAndResumesWhereItStopped) {
    constexpr std::uint64_t kSize = 600 * 1024;
    const std::wstring url = Serve("/held", kSize, 1024 * 1024);
    CDownloadEvents events;
    RecordingFile file;
    RecordingCallback callback;
    std::atomic<bool> paused{false};
    callback.onReport = [&](const DownloadStatusInfo& info) {
        if (!paused && info.bytesDone >= 100 * 1024) {
            events.Pause();
            paused = true;
        }
    };
    bool result = false;
    std::thread worker([&] {
        result = DownloadToFile(CancelRequest(events.CancelEvent(), events.ContinueEvent()), url, file, &callback);
    });
    while (!paused) ::Sleep(5);
    // The loop notices within a millisecond or so; then nothing is read
    // while the server keeps sending.
    ::Sleep(200);
    const std::size_t held = callback.count;
    const std::uint64_t done = callback.bytesDone;
    ::Sleep(600);
    EXPECT_EQ(callback.count.load(), held) << "reports (and so reads) while held";
    EXPECT_LT(done, 200u * 1024);
    events.Resume();
    worker.join();
    EXPECT_TRUE(result);
    EXPECT_TRUE(file.content == PatternBytes(kSize));
    EXPECT_EQ(callback.reports.back().state, DownloadState::Completed);
}

TEST_F(Transfer, CancellationEndsTheLoopAndReportsHalfASecondLater) {
    const struct {
        const char* name;
        bool pauseFirst;
    } cases[] = {{"while reading", false}, {"while held", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        constexpr std::uint64_t kSize = 2 * 1024 * 1024;
        const std::wstring url = Serve(std::string("/cancel-") + (c.pauseFirst ? "held" : "reading"), kSize,
                                       512 * 1024);
        CDownloadEvents events;
        RecordingFile file;
        RecordingCallback callback;
        std::atomic<DWORD> cancelledAt{0};
        callback.onReport = [&](const DownloadStatusInfo& info) {
            if (info.state != DownloadState::InProgress || info.bytesDone < 64 * 1024 || cancelledAt || !c.pauseFirst)
                return;
            events.Pause();
        };
        if (!c.pauseFirst) {
            callback.onReport = [&](const DownloadStatusInfo& info) {
                if (!cancelledAt && info.bytesDone >= 64 * 1024) {
                    cancelledAt = ::GetTickCount();
                    events.RequestCancel();
                }
            };
        }
        bool result = true;
        std::thread worker([&] {
            result = DownloadToFile(CancelRequest(events.CancelEvent(), events.ContinueEvent()), url, file, &callback);
        });
        if (c.pauseFirst) {
            while (callback.bytesDone < 64 * 1024) ::Sleep(5);
            ::Sleep(300);
            cancelledAt = ::GetTickCount();
            events.RequestCancel();
        }
        worker.join();
        EXPECT_FALSE(result);
        const auto& reports = callback.reports;
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.back().state, DownloadState::Cancelled);
        const DWORD delay = callback.times.back() - cancelledAt;
        EXPECT_GE(delay, 450u);
        EXPECT_LE(delay, 2000u);
        // Every byte received reached the file; the rest never came.
        const std::uint64_t received = reports[reports.size() - 2].bytesDone;
        EXPECT_LT(received, kSize);
        EXPECT_TRUE(file.content == PatternBytes(received)) << file.content.size() << " of " << received;
    }
}

TEST_F(Transfer, BrokenAndOddAnswersEndCleanly) {
    constexpr std::uint64_t kSize = 200 * 1024;
    const struct {
        const char* path;
        int status;
        std::optional<std::int64_t> announced;
        bool omitLength;
        std::optional<std::uint64_t> breakAfter;
        std::uint64_t rate;
        bool result;
        std::uint64_t bytes;  // expected in the file
    } cases[] = {
        {"/closes-early", 200, std::nullopt, false, 50000, 0, false, 50000},
        {"/announces-more", 200, kSize + 1000, false, std::nullopt, 0, false, kSize},
        {"/announces-less", 200, kSize - 1000, false, std::nullopt, 0, true, kSize - 1000},
        {"/no-length", 200, std::nullopt, true, std::nullopt, 0, true, kSize},
        {"/slow", 200, std::nullopt, false, std::nullopt, 400 * 1024, true, kSize},
        {"/error-page", 500, std::nullopt, false, std::nullopt, 0, true, kSize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        HttpRoute route;
        route.path = c.path;
        route.status = c.status;
        route.patternSize = kSize;
        route.announcedLength = c.announced;
        route.omitLength = c.omitLength;
        route.breakAfter = c.breakAfter;
        route.bytesPerSecond = c.rate;
        ASSERT_TRUE(Server().SetRoute(route));
        RecordingFile file;
        RecordingCallback callback;
        EXPECT_EQ(DownloadToFile(CancelRequest(), Server().Url(c.path), file, &callback), c.result);
        EXPECT_TRUE(file.content == PatternBytes(c.bytes)) << file.content.size() << " bytes written";
        ASSERT_FALSE(callback.reports.empty());
        const auto& last = callback.reports.back();
        EXPECT_EQ(last.state, DownloadState::Completed);
        EXPECT_EQ(last.errorText.empty(), c.result);
        EXPECT_EQ(last.errorCode == 0, c.result);
    }
}

TEST_F(Transfer, UnusableAddressesFailWithTheirText) {
    const struct {
        const wchar_t* url;
        const wchar_t* text;
    } cases[] = {
        {L"not a url", L""},
        {L"", L""},
        // WinInet connects lazily: a closed port fails at sending.
        {L"http://127.0.0.1:1/none", L"HttpSendRequest Failed."},
    };
    for (const auto& c : cases) {
        RecordingFile file;
        RecordingCallback callback;
        EXPECT_FALSE(DownloadToFile(CancelRequest(), c.url, file, &callback)) << c.url;
        ASSERT_EQ(callback.reports.size(), 1u);
        EXPECT_EQ(callback.reports[0].state, DownloadState::Completed);
        EXPECT_EQ(callback.reports[0].errorText, c.text);
        EXPECT_TRUE(file.writes.empty());
    }
}

TEST_F(Transfer, WithoutASessionEveryConnectFailsUntilItIsOpenedAgain) {
    const std::wstring url = Serve("/session", 1000);
    CloseInternetSession();
    RecordingFile file;
    RecordingCallback callback;
    EXPECT_FALSE(DownloadToFile(CancelRequest(), url, file, &callback));
    EnsureInternetSession();
    ASSERT_EQ(callback.reports.size(), 1u);
    EXPECT_EQ(callback.reports[0].errorText, L"InternetConnect Failed.");
    EXPECT_NE(callback.reports[0].errorCode, 0u);
    EXPECT_TRUE(DownloadToFile(CancelRequest(), url, file, nullptr));
    EXPECT_TRUE(file.content == PatternBytes(1000));
}

// A disk that fills up: the download must not pass for a whole one.
TEST_F(Transfer, FailedWriteEndsTheTransferAsAFailure) {
    class FullDisk final : public IOutputFile {
    public:
        bool Seek(std::uint64_t) override { return true; }
        bool Write(const void*, std::size_t) override {
            ++writes;
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
        bool Flush() override { return true; }
        int writes = 0;
    } file;
    const std::wstring url = Serve("/disk-full", 500000);
    RecordingCallback callback;
    EXPECT_FALSE(DownloadToFile(CancelRequest(), url, file, &callback));
    EXPECT_EQ(file.writes, 1) << "no writes after the first failure";
    ASSERT_FALSE(callback.reports.empty());
    EXPECT_EQ(callback.reports.back().errorCode, static_cast<std::uint32_t>(ERROR_DISK_FULL));
    EXPECT_EQ(callback.reports.back().errorText, L"Internet download file Failed");
}

TEST_F(Transfer, FetchWritesAnyPageAndStopsOnCancel) {
    HttpRoute page;
    page.path = "/missing.xml";
    page.status = 404;
    page.body = "<html>no such document</html>";
    ASSERT_TRUE(Server().SetRoute(page));
    StringSink out;
    EXPECT_TRUE(FetchToStream(CancelRequest(), Server().Url(page.path), out));
    EXPECT_EQ(out.text, page.body);

    const std::wstring big = Serve("/doc", 100000);
    StringSink whole;
    EXPECT_TRUE(FetchToStream(CancelRequest(), big, whole));
    EXPECT_TRUE(whole.text == PatternBytes(100000));

    CDownloadEvents events;
    events.RequestCancel();
    StringSink none;
    EXPECT_FALSE(FetchToStream(CancelRequest(events.CancelEvent(), events.ContinueEvent()), big, none));
    EXPECT_TRUE(none.text.empty());
    EXPECT_FALSE(FetchToStream(CancelRequest(), L"::bad::", none));
}

}  // namespace
}  // namespace ovek
