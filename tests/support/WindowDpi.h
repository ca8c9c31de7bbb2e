#pragma once
// Running a helper program at another screen resolution. Wine reads
// HKCU\Control Panel\Desktop\LogPixels when a process starts, so the value is
// set, the program started, and the old value put back (or removed when there
// was none) before the call returns, whatever happens.
#include <windows.h>

#include <optional>
#include <string>

namespace ovek::test {

struct ProcessResult {
    std::optional<DWORD> exitCode;  // nullopt: could not start, or killed at the time limit
    std::string output;             // standard output and error, as written
};

// Starts commandLine with its output captured and waits up to timeoutMs.
ProcessResult RunCaptured(const std::wstring& commandLine, DWORD timeoutMs);

// The same at `dpi` (96, 120, 144, 192...). Calls are serialised: no other
// process may start while the value is changed.
ProcessResult RunAtDpi(DWORD dpi, const std::wstring& commandLine, DWORD timeoutMs);

// Sets LogPixels for as long as it lives; the destructor restores it.
class ScopedLogPixels {
public:
    explicit ScopedLogPixels(DWORD dpi);
    ScopedLogPixels(const ScopedLogPixels&) = delete;
    ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;
    ~ScopedLogPixels();
    bool Applied() const { return applied_; }

private:
    bool applied_ = false;
    bool hadValue_ = false;
    DWORD oldType_ = 0;
    std::string oldData_;
};

}  // namespace ovek::test
