#pragma once
// Fetches one small file (the version document, a newer installer) with
// bounds: a server that sends without end, or far more than any real file,
// or that takes too long, gives a failed fetch rather than a start-up that
// never ends.
#include <cstdint>
#include <string>

namespace ovek {

struct FetchLimits {
    std::uint64_t maxBytes;
    unsigned maxMilliseconds;  // for the whole transfer, from the request on
};

// The version document: real ones are a few hundred bytes.
inline constexpr FetchLimits kVersionDocumentLimits{1u << 20, 60000};
// A newer installer: a few megabytes.
inline constexpr FetchLimits kInstallerLimits{256u << 20, 600000};

// Creates (or truncates) the file and writes the response body into it. True
// when the body arrived whole within the limits and reached the file.
bool FetchToFile(const std::wstring& url, const std::wstring& path, const FetchLimits& limits);

}  // namespace ovek
