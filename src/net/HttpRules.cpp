#include "net/HttpRules.h"

#include <limits>

namespace ovek {

bool IsSizeQueryStatusAccepted(unsigned long status) {
    if (status == 403 || status == 404) return false;
    return status >= 200 && status <= 500;
}

std::int64_t SizeFromAnswer(const SizeAnswer& answer) {
    if (!answer.answered || !IsSizeQueryStatusAccepted(answer.status)) return 0;
    return answer.length > 0 ? answer.length : 0;
}

bool IsHeadSizeAnswerFinal(const SizeAnswer& head) {
    constexpr unsigned long kMethodNotAllowed = 405;
    return head.status != kMethodNotAllowed && SizeFromAnswer(head) > 0;
}

std::int64_t ParseContentLength(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return 0;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        const int digit = c - '0';
        if (value > (kMax - digit) / 10) return kMax;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace ovek
