#pragma once
// Turns Windows Installer's progress records into a package percentage that
// never goes down, and picks the home page address out of its log lines.
// Plain C++: the records are text.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ovek {

class PackageProgress {
public:
    // report receives the package percentage after every step that moved it.
    explicit PackageProgress(std::function<void(std::int32_t)> report = {}) : report_(std::move(report)) {}

    // Before each package. The percentage reached and whether a phase was
    // ever started carry over, so a second package starts where the first
    // one ended.
    void ResetForPackage();

    // Reads one "1: t 2: n 3: n 4: n" record and acts on it. Answers 2
    // (cancel) when cancelRequested, else 1 (OK); a malformed record changes
    // nothing.
    int ParseProgressMessage(std::wstring_view text, bool cancelRequested);
    // Moves the position by the last record's tick count.
    void AdvanceProgress();

    std::int32_t packagePercent = 0;
    std::int32_t packageBase = 0;
    bool progressActive = false;
    std::int32_t progressTotal = 0;
    bool progressForward = true;
    std::int32_t progressPosition = 0;
    bool firstMessage = true;
    std::int32_t field[4] = {0, 0, 0, 0};  // the last record's fields 1 to 4

private:
    std::function<void(std::int32_t)> report_;
};

// Reads a Windows Installer information line; when homepageUrl is still empty
// and the line records the InstallHomepageURL property, stores its value.
// Returns true when it stored one.
bool ScanLogLine(std::wstring_view text, std::wstring& homepageUrl);

// The number at the start of text as the C runtime's wtol reads it.
std::int32_t ReadLong(std::wstring_view text);

}  // namespace ovek
