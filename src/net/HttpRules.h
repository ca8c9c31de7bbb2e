#pragma once
// The decisions of the transfer layer that need no network: which HTTP
// statuses let a size query succeed, and how a content length is read.
#include <cstdint>
#include <string_view>

namespace ovek {

// A size query counts as answered for every status from 200 to 500 except
// 403 and 404 (redirects, 401 and 500 included).
bool IsSizeQueryStatusAccepted(unsigned long status);

// What one size request learnt: whether a status came back, which, and the
// length announced (-1: none).
struct SizeAnswer {
    bool answered = false;
    unsigned long status = 0;
    std::int64_t length = -1;
};

// The size an answer gives by the status rules: 0 when it failed, was
// refused or named no length.
std::int64_t SizeFromAnswer(const SizeAnswer& answer);

// Whether a HEAD answer settles the size query. It does not when it failed,
// was refused, refused the verb itself (405) or named no usable length: then
// the query asks again with GET, so that servers that do not serve HEAD keep
// working.
bool IsHeadSizeAnswerFinal(const SizeAnswer& head);

// The value of a Content-Length header as a 64-bit size (packages of 2 GiB
// and more are real). Leading and trailing blanks are skipped; an empty,
// negative or malformed value gives 0; values beyond the 64-bit range clamp.
std::int64_t ParseContentLength(std::string_view text);

}  // namespace ovek
