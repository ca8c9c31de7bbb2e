// Times RunDownload into a file against a bare WinInet loop with the same
// 4096-byte reads (no callback, no file), over the same local server and
// file, and reports how much the peak working set rose during RunDownload.
// Usage: bench_download URL DESTINATION-FILE
// Started by download.sh, which also times curl and prints its figure first.
// Under Wine the size query that opens RunDownload is as costly as a whole
// slow download from a fast local server: closing a GET request with its body
// unread makes Wine's WinInet drain the body, 1 KB per receive, for as long
// as data keeps arriving. That is why the size query is timed on its own.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "framework/Handles.h"
#include "net/CDownloadJob.h"
#include "net/HttpTransfer.h"

namespace {

using namespace ovek;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t;
}

SIZE_T PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
}

// The same request and reads as a file download, and nothing else.
std::uint64_t BareLoop(const std::wstring& url) {
    wchar_t host[256] = {}, path[4096] = {}, extra[4096] = {};
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = 4096;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = 4096;
    if (!::InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return 0;
    UniqueHInternet connection(
        ::InternetConnectW(InternetSession(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    const std::wstring object = std::wstring(path) + extra;
    LPCWSTR accept[] = {L"*/*", nullptr};
    UniqueHInternet request(::HttpOpenRequestW(connection.get(), L"GET", object.c_str(), L"HTTP/1.1", nullptr, accept,
                                               INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                   INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI,
                                               0));
    if (!request || !::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return 0;
    char buffer[4096];
    std::uint64_t total = 0;
    for (;;) {
        DWORD available = 0, got = 0;
        if (!::InternetQueryDataAvailable(request.get(), &available, 0, 0) || available == 0) break;
        if (!::InternetReadFile(request.get(), buffer, std::min<DWORD>(available, sizeof(buffer)), &got) || got == 0)
            break;
        total += got;
    }
    return total;
}

}  // namespace

int main() {
    // Wide arguments without -municode.
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        std::fprintf(stderr, "usage: bench_download URL DESTINATION-FILE\n");
        return 2;
    }
    const std::wstring url = argv[1];
    const std::wstring destination = argv[2];
    ::LocalFree(argv);
    EnsureInternetSession();
    constexpr double kMB = 1024.0 * 1024.0;

    // Two rounds, alternating, best of two: the first bare loop also warms
    // the session and the server's page cache. Besides RunDownload as a
    // whole, its two parts are timed on their own: the size query and the
    // transfer (DownloadToFile with the job as callback, events, file).
    double bare = 0, transfer = 0, run = 0, queryMs = 1e9;
    std::uint64_t bareBytes = 0;
    SIZE_T before = 0, after = 0;
    for (int round = 0; round < 2; ++round) {
        LARGE_INTEGER t0 = Now();
        bareBytes = BareLoop(url);
        LARGE_INTEGER t1 = Now();
        if (bareBytes == 0) {
            std::fprintf(stderr, "the bare loop read nothing from %ls\n", url.c_str());
            return 1;
        }
        bare = std::max(bare, bareBytes / kMB / Seconds(t0, t1));
        if (round == 0) before = PeakWorkingSet();

        CDownloadEvents events;
        volatile unsigned percent = 0;
        std::uint64_t done = 0;
        auto handler = [&](const DownloadStatusInfo& info) {
            percent = DownloadPercent(info);
            if (info.state == DownloadState::InProgress && info.bytesDone) done = info.bytesDone;
        };

        t0 = Now();
        const std::int64_t size = QueryContentLength(url);
        t1 = Now();
        queryMs = std::min(queryMs, Seconds(t0, t1) * 1000.0);
        {
            CDownloadJob job(url, destination);
            job.bytesTotal = size;
            job.statusHandler = handler;
            CDownloadFile file(destination);
            t0 = Now();
            const bool ok = DownloadToFile(CancelRequest(events.CancelEvent(), events.ContinueEvent()), url, file, &job);
            t1 = Now();
            if (!ok || done != bareBytes) {
                std::fprintf(stderr, "DownloadToFile failed: %llu bytes\n", static_cast<unsigned long long>(done));
                return 1;
            }
            transfer = std::max(transfer, done / kMB / Seconds(t0, t1));
        }

        done = 0;
        CDownloadJob job(url, destination);
        t0 = Now();
        const bool ok = RunDownload(job, &events, handler);
        t1 = Now();
        after = PeakWorkingSet();
        if (!ok || done != bareBytes) {
            std::fprintf(stderr, "RunDownload failed: ok=%d, %llu bytes of %llu\n", ok ? 1 : 0,
                         static_cast<unsigned long long>(done), static_cast<unsigned long long>(bareBytes));
            return 1;
        }
        run = std::max(run, done / kMB / Seconds(t0, t1));
    }
    const double rise = double(after - before) / kMB;
    const double ratio = run / bare;
    std::printf("bare-wininet-mbps %.1f\n", bare);
    std::printf("size-query-ms %.0f\n", queryMs);
    std::printf("downloadtofile-mbps %.1f\n", transfer);
    std::printf("transfer-ratio %.3f\n", transfer / bare);
    std::printf("rundownload-mbps %.1f\n", run);
    std::printf("memory-rise-mb %.2f\n", rise);
    std::printf("ratio %.3f\n", ratio);
    if (ratio >= 0.8 && rise < 16.0) return 0;
    std::fprintf(stderr, "targets missed: ratio at least 0.8, memory rise below 16 MB\n");
    return 3;
}
