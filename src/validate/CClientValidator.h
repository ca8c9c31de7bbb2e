#pragma once
// The start-up dialog that checks this installer against the maker's version
// document and may hand over to a newer installer.
#include <string>

namespace ovek {

class CClientValidator {
public:
    enum Outcome { kContinue = 0, kStop = 1, kStartUpdater = 2 };

    // The validator lives as long as the process: it opens the internet
    // session that every transfer shares, and closes it at the end.
    CClientValidator();
    ~CClientValidator();
    CClientValidator(const CClientValidator&) = delete;
    CClientValidator& operator=(const CClientValidator&) = delete;

    // Runs the dialog modally; sets outcome (and updaterPath for kStartUpdater).
    void RunModal();

    std::wstring updaterPath;
    int outcome = kContinue;
};

}  // namespace ovek
