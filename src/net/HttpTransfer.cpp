#include "net/HttpTransfer.h"

#include <share.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "framework/Handles.h"
#include "net/HttpRules.h"

namespace ovek {
namespace {

constexpr DWORD kFileChunk = 4096;
constexpr std::size_t kFileBlock = 40960;
constexpr DWORD kDocumentChunk = 16384;
constexpr DWORD kCancelPauseMs = 500;
// A held transfer re-tests its queries this often rather than spinning.
constexpr DWORD kPausePollMs = 10;
// A running transfer asks the cancel request at most this often. Under Wine
// each zero-time-out wait is a round trip to the wineserver (tens of
// microseconds, as long as a whole 4096-byte read from a fast server), so
// asking at every read halved the throughput; a millisecond is still far
// quicker than anyone can tell.
constexpr auto kRunningPollInterval = std::chrono::milliseconds(1);
constexpr DWORD kUrlPartChars = 4096;

const wchar_t* const kAnyType[] = {L"*/*", nullptr};
const wchar_t* const kXmlOrAnyType[] = {L"application/xml", L"*/*", nullptr};

struct RequestShape {
    const wchar_t* verb;  // null: the default verb
    const wchar_t* const* acceptTypes;
    DWORD plainFlags;
    DWORD secureFlags;
    const wchar_t* headers;  // null: none
};

constexpr DWORD kSecureExtras =
    INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID | INTERNET_FLAG_IGNORE_CERT_CN_INVALID;
constexpr DWORD kFileFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI;
constexpr DWORD kQueryFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI;

const RequestShape kFileShape{L"GET", kAnyType, kFileFlags, kFileFlags | kSecureExtras, nullptr};
// The size query asks with HEAD: a GET whose body is never read costs a whole
// download, because closing it makes Wine's WinInet drain the body. Servers
// that refuse HEAD get the default verb (GET) instead. The HEAD's connection
// is not kept for the next request: a faulty server that sends a body after
// its HEAD answer would have that body read as the next answer.
const RequestShape kSizeShape{L"HEAD", kXmlOrAnyType, kQueryFlags, kQueryFlags | kSecureExtras,
                              L"Connection: close"};
const RequestShape kSizeFallbackShape{nullptr, kXmlOrAnyType, kQueryFlags, kQueryFlags | kSecureExtras, nullptr};
const RequestShape kDocumentShape{L"GET", kXmlOrAnyType, kQueryFlags, kQueryFlags | kSecureExtras,
                                  L"Content-Type: application/json"};

enum class OpenResult { Sent, BadUrl, ConnectFailed, OpenFailed, SendFailed };

// Connection before request: the request is closed first.
struct OpenRequestHandles {
    UniqueHInternet connection;
    UniqueHInternet request;
};

OpenResult OpenAndSend(const std::wstring& url, const RequestShape& shape, OpenRequestHandles& out, DWORD& error) {
    std::vector<wchar_t> scheme(kUrlPartChars), host(kUrlPartChars), user(kUrlPartChars),
        password(kUrlPartChars), path(kUrlPartChars), extra(kUrlPartChars);
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszScheme = scheme.data();
    parts.dwSchemeLength = kUrlPartChars;
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = kUrlPartChars;
    parts.lpszUserName = user.data();
    parts.dwUserNameLength = kUrlPartChars;
    parts.lpszPassword = password.data();
    parts.dwPasswordLength = kUrlPartChars;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = kUrlPartChars;
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = kUrlPartChars;
    if (url.empty() || !::InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return OpenResult::BadUrl;

    const DWORD service = parts.nScheme == INTERNET_SCHEME_FTP ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP;
    out.connection.reset(::InternetConnectW(InternetSession(), host.data(), parts.nPort,
                                            user[0] ? user.data() : nullptr,
                                            password[0] ? password.data() : nullptr, service, 0, 0));
    if (!out.connection) {
        error = ::GetLastError();
        return OpenResult::ConnectFailed;
    }

    const std::wstring objectName = std::wstring(path.data()) + extra.data();
    const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? shape.secureFlags : shape.plainFlags;
    out.request.reset(::HttpOpenRequestW(out.connection.get(), shape.verb, objectName.c_str(), L"HTTP/1.1",
                                         nullptr, const_cast<LPCWSTR*>(shape.acceptTypes), flags, 0));
    if (!out.request) {
        error = ::GetLastError();
        return OpenResult::OpenFailed;
    }
    if (!::HttpSendRequestW(out.request.get(), shape.headers, shape.headers ? static_cast<DWORD>(-1) : 0, nullptr,
                            0)) {
        error = ::GetLastError();
        return OpenResult::SendFailed;
    }
    return OpenResult::Sent;
}

// The length the response announced, or -1 when it named none.
std::int64_t AnnouncedLength(HINTERNET request) {
    wchar_t text[64] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
    std::string narrow;
    for (const wchar_t* p = text; *p; ++p) narrow += *p < 0x80 ? static_cast<char>(*p) : '?';
    return ParseContentLength(narrow);
}

// A body that ended before the announced length broke off on the way.
DWORD ShortBodyError(HINTERNET request, std::uint64_t received) {
    const std::int64_t announced = AnnouncedLength(request);
    if (announced >= 0 && received < static_cast<std::uint64_t>(announced)) return ERROR_INTERNET_CONNECTION_ABORTED;
    return 0;
}

DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = ::GetLastError();
    return error ? error : fallback;
}

class BlockWriter {
public:
    explicit BlockWriter(IOutputFile& file) : file_(file), buffer_(new char[kFileBlock]) {}

    char* Tail() { return buffer_.get() + buffered_; }
    std::size_t Buffered() const { return buffered_; }
    void Grow(std::size_t count) { buffered_ += count; }

    // Seek, write and flush one block under the transfer lock; the buffer is
    // empty afterwards either way.
    bool WriteBlock(DWORD& error) {
        if (buffered_ == 0) return true;
        bool ok;
        {
            std::lock_guard<std::mutex> hold(TransferLock());
            ok = file_.Seek(offset_) && file_.Write(buffer_.get(), buffered_) && file_.Flush();
            if (!ok) error = LastErrorOr(ERROR_WRITE_FAULT);
        }
        offset_ += buffered_;
        buffered_ = 0;
        return ok;
    }

private:
    IOutputFile& file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t buffered_ = 0;
    std::uint64_t offset_ = 0;
};

// The read loop of a file download; returns the error that ended it, 0 for
// a clean end or a cancellation.
DWORD ReceiveToFile(const ICancelRequest& cancel, HINTERNET request, IOutputFile& file,
                    IDownloadCallback* callback, DownloadStatusInfo& info) {
    if (cancel.IsCancelled()) return 0;
    BlockWriter writer(file);
    DWORD error = 0;
    bool writeFailed = false;
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextPoll{};  // ask at the first turn
    for (;;) {
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(request, &available, 0, 0)) {
            error = LastErrorOr(ERROR_INTERNET_CONNECTION_ABORTED);
            break;
        }
        const Clock::time_point now = Clock::now();
        if (now >= nextPoll) {
            if (cancel.IsCancelled()) break;
            if (cancel.IsPaused()) {
                ::Sleep(kPausePollMs);
                continue;  // nextPoll has passed: ask again next turn
            }
            nextPoll = now + kRunningPollInterval;
        }
        if (available == 0) break;
        DWORD got = 0;
        if (!::InternetReadFile(request, writer.Tail(), std::min(available, kFileChunk), &got)) {
            error = LastErrorOr(ERROR_INTERNET_CONNECTION_ABORTED);
            break;
        }
        if (got == 0) break;  // end of the body
        info.state = DownloadState::InProgress;
        info.bytesDone += got;
        if (callback) callback->OnStatus(info);
        writer.Grow(got);
        if (writer.Buffered() + kFileChunk > kFileBlock || got < kFileChunk) {
            if (!writer.WriteBlock(error)) {
                writeFailed = true;
                break;
            }
        }
        if (callback) callback->OnStatus(info);
    }
    // Whatever stopped the loop, every byte received goes to the file.
    if (!writeFailed && !writer.WriteBlock(error)) writeFailed = true;
    if (error == 0 && !cancel.IsCancelled()) error = ShortBodyError(request, info.bytesDone);
    return error;
}

}  // namespace

bool CancelRequest::IsCancelled() const {
    return cancelEvent_ && ::WaitForSingleObject(cancelEvent_, 0) == WAIT_OBJECT_0;
}

bool CancelRequest::IsPaused() const {
    return continueEvent_ && ::WaitForSingleObject(continueEvent_, 0) != WAIT_OBJECT_0;
}

CDownloadFile::CDownloadFile(const std::wstring& path) : file_(::_wfsopen(path.c_str(), L"wb", _SH_DENYRW)) {}

CDownloadFile::~CDownloadFile() { Close(); }

bool CDownloadFile::Close() {
    return !file_ || std::fclose(std::exchange(file_, nullptr)) == 0;
}

bool CDownloadFile::Seek(std::uint64_t offset) {
    return file_ && ::_fseeki64(file_, static_cast<long long>(offset), SEEK_SET) == 0;
}

bool CDownloadFile::Write(const void* data, std::size_t size) {
    return file_ && std::fwrite(data, 1, size, file_) == size;
}

bool CDownloadFile::Flush() { return file_ && std::fflush(file_) == 0; }

bool DownloadToFile(const ICancelRequest& cancel, const std::wstring& url, IOutputFile& file,
                    IDownloadCallback* callback) {
    DownloadStatusInfo info;
    bool result = false;
    {
        OpenRequestHandles handles;
        DWORD error = 0;
        switch (OpenAndSend(url, kFileShape, handles, error)) {
        case OpenResult::Sent:
            if (cancel.IsCancelled()) break;
            error = ReceiveToFile(cancel, handles.request.get(), file, callback, info);
            info.errorCode = error;
            if (error) info.errorText = L"Internet download file Failed";
            else info.errorText.clear();
            result = error == 0 && !cancel.IsCancelled();
            break;
        case OpenResult::BadUrl:
            break;
        case OpenResult::ConnectFailed:
            info.errorCode = error;
            info.errorText = L"InternetConnect Failed.";
            break;
        case OpenResult::OpenFailed:
            info.errorCode = error;
            info.errorText = L"HttpOpenRequest Failed.";
            break;
        case OpenResult::SendFailed:
            info.errorCode = error;
            info.errorText = L"HttpSendRequest Failed.";
            break;
        }
    }
    if (cancel.IsCancelled()) {
        ::Sleep(kCancelPauseMs);
        info.state = DownloadState::Cancelled;
    } else {
        info.state = DownloadState::Completed;
    }
    if (callback) callback->OnStatus(info);
    return result;
}

namespace {

SizeAnswer AskSize(const std::wstring& url, const RequestShape& shape) {
    SizeAnswer answer;
    OpenRequestHandles handles;
    DWORD error = 0;
    if (OpenAndSend(url, shape, handles, error) != OpenResult::Sent) return answer;
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::HttpQueryInfoW(handles.request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr))
        return answer;
    answer.answered = true;
    answer.status = status;
    answer.length = AnnouncedLength(handles.request.get());
    return answer;
}

}  // namespace

std::int64_t QueryContentLength(const std::wstring& url) {
    const SizeAnswer head = AskSize(url, kSizeShape);
    if (IsHeadSizeAnswerFinal(head)) return SizeFromAnswer(head);
    return SizeFromAnswer(AskSize(url, kSizeFallbackShape));
}

bool FetchToStream(const ICancelRequest& cancel, const std::wstring& url, IByteSink& out) {
    OpenRequestHandles handles;
    DWORD error = 0;
    if (OpenAndSend(url, kDocumentShape, handles, error) != OpenResult::Sent) return false;
    if (cancel.IsCancelled()) return false;
    std::vector<char> chunk(kDocumentChunk);
    std::uint64_t received = 0;
    bool broken = false;
    for (;;) {
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(handles.request.get(), &available, 0, 0)) {
            broken = true;
            break;
        }
        if (cancel.IsCancelled() || available == 0) break;
        DWORD got = 0;
        if (!::InternetReadFile(handles.request.get(), chunk.data(), std::min(available, kDocumentChunk), &got)) {
            broken = true;
            break;
        }
        if (got == 0) break;
        if (!out.Write(chunk.data(), got)) {
            broken = true;
            break;
        }
        received += got;
    }
    if (cancel.IsCancelled()) return false;
    return !broken && ShortBodyError(handles.request.get(), received) == 0;
}

}  // namespace ovek
