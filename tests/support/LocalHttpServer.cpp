#include "support/LocalHttpServer.h"

// Winsock before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

// How the server is started, found out under Wine 8.0:
// - CreateProcessW on a Unix program ("Z:\\usr\\bin\\python3 ...") does start
//   it, detached (Wine forks twice: its parent is init), with no usable
//   process handle (waiting fails at once, nothing to terminate) and without
//   our redirected standard handles. Worse, the wineserver soon ended the
//   calling test program (SIGQUIT, exit code 0, mid-test, not every time).
// - cmd.exe /c cannot start a Unix program at all.
// - "start.exe /unix /usr/bin/python3 ARGS" works: start.exe does the fork
//   and ends, our program is left alone. That is what we use.
// With no handle to the server, its life hangs on a TCP connection: we listen
// on 127.0.0.1, the server connects back, reports its port and takes its
// commands over that connection, and ends when told to or when the
// connection closes, which the system does for us if the test program dies.
// OVEK_PYTHON names another interpreter (a Unix path).

namespace ovek::test {
namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kReplyTimeoutMs = 30000;
constexpr DWORD kStopTimeoutMs = 5000;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(size, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                          nullptr);
    return out;
}

// The Unix path the server needs for a file the test names its own way.
std::string UnixPath(const std::wstring& path) {
    if (!path.empty() && path[0] == L'/') return Utf8(path);
    using ToUnix = char*(CDECL*)(LPCWSTR);
    if (auto toUnix = reinterpret_cast<ToUnix>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")))) {
        if (char* unix = toUnix(path.c_str())) {
            std::string out = unix;
            ::HeapFree(::GetProcessHeap(), 0, unix);
            return out;
        }
    }
    std::wstring rest = path;
    if (rest.size() >= 2 && (rest[0] == L'Z' || rest[0] == L'z') && rest[1] == L':') rest.erase(0, 2);
    for (auto& c : rest)
        if (c == L'\\') c = L'/';
    return Utf8(rest);
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::wstring EnvOr(const wchar_t* name, const std::wstring& fallback) {
    wchar_t value[1024];
    const DWORD size = ::GetEnvironmentVariableW(name, value, 1024);
    return size > 0 && size < 1024 ? std::wstring(value, size) : fallback;
}

bool WaitReadable(SOCKET s, DWORD timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
    return ::select(0, &set, nullptr, nullptr, &tv) == 1;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::optional<std::string> RecordedRequest::Header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (EqualNoCase(key, name)) return value;
    return std::nullopt;
}

std::string PatternBytes(std::uint64_t size, std::uint64_t offset) {
    std::string out(size, '\0');
    for (std::uint64_t i = 0; i < size; ++i) out[i] = static_cast<char>((offset + i) % 251);
    return out;
}

bool LocalHttpServer::Start() {
    if (IsRunning()) return true;
    WSADATA wsa;
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        error_ = "WSAStartup failed";
        return false;
    }
    SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (listener == INVALID_SOCKET || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener, 1) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error_ = "cannot listen on 127.0.0.1";
        if (listener != INVALID_SOCKET) ::closesocket(listener);
        ::WSACleanup();
        return false;
    }

    const std::wstring python = EnvOr(L"OVEK_PYTHON", L"/usr/bin/python3");
    const std::string script = std::string(OVEK_SOURCE_DIR) + "/tests/support/test_http_server.py";
    const std::string log = std::string(OVEK_BINARY_DIR) + "/test-http-server.log";
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring command = L"\"" + std::wstring(system) + L"\\start.exe\" /unix \"" + python + L"\" \"" +
                                 std::wstring(script.begin(), script.end()) + L"\" --control-port " +
                                 std::to_wstring(ntohs(address.sin_port)) + L" --log \"" +
                                 std::wstring(log.begin(), log.end()) + L"\"";
    std::vector<wchar_t> buffer(command.begin(), command.end());
    buffer.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        error_ = "cannot start the server with " + Utf8(python) + " (error " + std::to_string(::GetLastError()) + ")";
        ::closesocket(listener);
        ::WSACleanup();
        return false;
    }
    // Under Wine these are empty for a Unix program; on Windows they are real.
    if (pi.hThread) ::CloseHandle(pi.hThread);
    if (pi.hProcess) ::CloseHandle(pi.hProcess);

    SOCKET control = INVALID_SOCKET;
    if (WaitReadable(listener, kStartTimeoutMs)) control = ::accept(listener, nullptr, nullptr);
    ::closesocket(listener);
    if (control == INVALID_SOCKET) {
        error_ = "the server did not call back (see " + log + ")";
        ::WSACleanup();
        return false;
    }
    control_ = static_cast<std::uintptr_t>(control);
    auto hello = ReadLine();
    if (!hello || hello->rfind("port ", 0) != 0) {
        error_ = "the server did not report its port";
        Stop();
        return false;
    }
    port_ = static_cast<unsigned short>(std::atoi(hello->c_str() + 5));
    return true;
}

void LocalHttpServer::Stop() {
    if (!IsRunning()) return;
    const SOCKET control = static_cast<SOCKET>(control_);
    SendLine("stop");
    // The server closes its end as it goes.
    char sink[256];
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < kStopTimeoutMs && WaitReadable(control, 200) &&
           ::recv(control, sink, sizeof(sink), 0) > 0) {
    }
    ::closesocket(control);
    control_ = kNoSocket;
    pending_.clear();
    ::WSACleanup();
}

std::wstring LocalHttpServer::BaseUrl() const { return L"http://127.0.0.1:" + std::to_wstring(port_); }

std::wstring LocalHttpServer::Url(const std::string& target) const {
    return BaseUrl() + std::wstring(target.begin(), target.end());
}

bool LocalHttpServer::SetRoute(const HttpRoute& route) {
    std::string json = "{\"path\": " + JsonString(route.path) + ", \"status\": " + std::to_string(route.status);
    if (!route.file.empty()) json += ", \"file\": " + JsonString(UnixPath(route.file));
    if (!route.body.empty()) json += ", \"body\": " + JsonString(route.body);
    if (route.patternSize) json += ", \"pattern\": " + std::to_string(*route.patternSize);
    if (route.omitLength) json += ", \"length\": \"none\"";
    else if (route.announcedLength) json += ", \"length\": " + std::to_string(*route.announcedLength);
    if (route.bytesPerSecond) json += ", \"rate\": " + std::to_string(route.bytesPerSecond);
    if (route.breakAfter) json += ", \"break_after\": " + std::to_string(*route.breakAfter);
    if (route.delayMs) json += ", \"delay_ms\": " + std::to_string(route.delayMs);
    if (route.bodyDelayMs) json += ", \"body_delay_ms\": " + std::to_string(route.bodyDelayMs);
    if (!route.headers.empty()) {
        json += ", \"headers\": {";
        bool first = true;
        for (const auto& [name, value] : route.headers) {
            json += (first ? "" : ", ") + JsonString(name) + ": " + JsonString(value);
            first = false;
        }
        json += "}";
    }
    if (route.head) {
        const auto& h = *route.head;
        json += ", \"head\": {\"drop\": " + std::string(h.drop ? "true" : "false");
        if (h.status) json += ", \"status\": " + std::to_string(*h.status);
        if (h.omitLength) json += ", \"length\": \"none\"";
        else if (h.announcedLength) json += ", \"length\": " + std::to_string(*h.announcedLength);
        if (h.delayMs) json += ", \"delay_ms\": " + std::to_string(h.delayMs);
        if (h.withBody) json += ", \"body_on_head\": true";
        json += "}";
    }
    json += "}";
    return SendLine("route " + json) && ReadLine() == std::optional<std::string>("ok");
}

std::vector<RecordedRequest> LocalHttpServer::Requests() {
    std::vector<RecordedRequest> requests;
    if (!SendLine("requests")) return requests;
    while (auto line = ReadLine()) {
        if (*line == "end") break;
        if (line->rfind("request ", 0) == 0) {
            RecordedRequest r;
            const std::string rest = line->substr(8);
            const size_t a = rest.find(' ');
            const size_t b = rest.rfind(' ');
            r.verb = rest.substr(0, a);
            r.target = a == std::string::npos ? "" : rest.substr(a + 1, b - a - 1);
            r.version = b == std::string::npos ? "" : rest.substr(b + 1);
            requests.push_back(std::move(r));
        } else if (line->rfind("header ", 0) == 0 && !requests.empty()) {
            const std::string rest = line->substr(7);
            const size_t colon = rest.find(": ");
            requests.back().headers.emplace_back(rest.substr(0, colon),
                                                 colon == std::string::npos ? "" : rest.substr(colon + 2));
        }
    }
    return requests;
}

bool LocalHttpServer::ClearRequests() { return SendLine("clear") && ReadLine() == std::optional<std::string>("ok"); }

bool LocalHttpServer::SendLine(const std::string& line) {
    if (!IsRunning()) return false;
    const std::string data = line + "\n";
    size_t sent = 0;
    while (sent < data.size()) {
        const int n = ::send(static_cast<SOCKET>(control_), data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::optional<std::string> LocalHttpServer::ReadLine() {
    if (!IsRunning()) return std::nullopt;
    for (;;) {
        const size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        char chunk[4096];
        if (!WaitReadable(static_cast<SOCKET>(control_), kReplyTimeoutMs)) return std::nullopt;
        const int n = ::recv(static_cast<SOCKET>(control_), chunk, sizeof(chunk), 0);
        if (n <= 0) return std::nullopt;
        pending_.append(chunk, static_cast<size_t>(n));
    }
}

}  // namespace ovek::test
