#pragma once
// The start-up dialog that checks this installer against the maker's version
// document and may hand over to a newer installer.
#include <string>

namespace ovek {

class CClientValidator {
public:
    enum Outcome { kContinue = 0, kStop = 1, kStartUpdater = 2 };

    // Runs the dialog modally; sets outcome (and updaterPath for kStartUpdater).
    void RunModal();

    std::wstring updaterPath;
    int outcome = kContinue;
};

}  // namespace ovek
