#pragma once
// The test HTTP server (tests/support/test_http_server.py) run by a test
// program: started on 127.0.0.1 with a free port, configured route by route,
// asked for the requests it saw, and stopped on every path.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ovek::test {

// What one path answers.
struct HttpRoute {
    std::string path;  // without the query part, e.g. "/pkg/main.msi"
    int status = 200;
    // The body: a file (Windows or Unix path), a text, or a generated
    // pattern of this many bytes (see PatternBytes). Text when none is set.
    std::wstring file;
    std::string body;
    std::optional<std::uint64_t> patternSize;
    // The Content-Length to announce: the real size unless set; omitLength
    // sends none and ends the body by closing the connection.
    std::optional<std::int64_t> announcedLength;
    bool omitLength = false;
    std::uint64_t bytesPerSecond = 0;           // 0: as fast as it goes
    std::optional<std::uint64_t> breakAfter;    // close after this many body bytes
    unsigned delayMs = 0;                       // before the answer
    unsigned bodyDelayMs = 0;                   // between the headers and the body
    std::map<std::string, std::string> headers; // extra response headers

    // How HEAD is answered where it differs from a GET without its body.
    struct HeadAnswer {
        std::optional<int> status;
        std::optional<std::int64_t> announcedLength;
        bool omitLength = false;
        unsigned delayMs = 0;
        bool withBody = false;  // the body follows the answer anyway
        bool drop = false;      // the connection closes with no answer
    };
    std::optional<HeadAnswer> head;
};

struct RecordedRequest {
    std::string verb;
    std::string target;  // path with query, as sent
    std::string version;
    std::vector<std::pair<std::string, std::string>> headers;

    // The first header of this name (case-insensitive), if any.
    std::optional<std::string> Header(const std::string& name) const;
};

// The generated body of a route with patternSize: byte i is i % 251.
std::string PatternBytes(std::uint64_t size, std::uint64_t offset = 0);

class LocalHttpServer {
public:
    LocalHttpServer() = default;
    ~LocalHttpServer() { Stop(); }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Starts the server and waits (up to 20 s) until it listens. False, with
    // Error() telling why, when it cannot be started.
    bool Start();
    // Ends the server; safe to call twice, called by the destructor.
    void Stop();

    bool IsRunning() const { return control_ != kNoSocket; }
    const std::string& Error() const { return error_; }
    unsigned short Port() const { return port_; }
    std::wstring BaseUrl() const;                       // "http://127.0.0.1:PORT"
    std::wstring Url(const std::string& target) const;  // BaseUrl() + target

    bool SetRoute(const HttpRoute& route);
    std::vector<RecordedRequest> Requests();
    bool ClearRequests();

private:
    static constexpr std::uintptr_t kNoSocket = ~std::uintptr_t{0};

    bool SendLine(const std::string& line);
    std::optional<std::string> ReadLine();

    std::uintptr_t control_ = kNoSocket;  // a SOCKET, kept out of this header
    std::string pending_;
    unsigned short port_ = 0;
    std::string error_;
};

}  // namespace ovek::test
