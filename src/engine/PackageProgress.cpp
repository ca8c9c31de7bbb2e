#include "engine/PackageProgress.h"

#include <cstdint>
#include <limits>

namespace ovek {
namespace {

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring_view Trim(std::wstring_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

wchar_t LowerAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    return true;
}

}  // namespace

std::int32_t ReadLong(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
        value = value * 10 + (text[i++] - L'0');
        if (value > kLimit) value = kLimit;  // saturate, as the runtime does
    }
    if (negative) return value >= kLimit ? std::numeric_limits<std::int32_t>::min() : static_cast<std::int32_t>(-value);
    return value >= kLimit ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(value);
}

void PackageProgress::ResetForPackage() {
    packageBase = 0;
    progressTotal = 0;
    progressForward = true;
    progressPosition = 0;
    firstMessage = true;
}

int PackageProgress::ParseProgressMessage(std::wstring_view text, bool cancelRequested) {
    const int answer = cancelRequested ? 2 : 1;
    if (text.empty()) return 1;

    // Read into a copy: a record that turns out malformed changes nothing.
    std::int32_t f[4] = {field[0], field[1], field[2], field[3]};
    std::size_t pos = 0;
    for (int n = 1; n <= 4 && pos < text.size(); ++n) {
        if (text.size() - pos < 3 || text[pos] != static_cast<wchar_t>(L'0' + n) || text[pos + 1] != L':' ||
            text[pos + 2] != L' ')
            return 1;
        pos += 3;
        if (n == 1) {
            if (pos >= text.size() || text[pos] < L'0' || text[pos] > L'9') return 1;
            if (pos + 1 < text.size() && text[pos + 1] != L' ') return 1;
            f[0] = text[pos] - L'0';
            pos += 2;
            continue;
        }
        std::size_t end = text.find(L' ', pos);
        if (end == std::wstring_view::npos) end = text.size();
        f[n - 1] = ReadLong(text.substr(pos, end - pos));
        pos = end + 1;
        if (n == 2 && (f[0] == 2 || f[0] == 3)) break;
        if (n == 3 && f[0] == 1) break;
    }
    for (int i = 0; i < 4; ++i) field[i] = f[i];

    switch (field[0]) {
    case 0:  // reset: a new phase of field 2 ticks, counting down when field 3 is set
        progressActive = true;
        progressTotal = field[1];
        progressForward = field[2] == 0;
        progressPosition = field[2] != 0 ? field[1] : 0;
        packageBase = packagePercent;
        break;
    case 1:  // action information: field 3 asks for field 2 ticks per action
        if (progressActive && field[2] != 0) AdvanceProgress();
        break;
    case 2:
        AdvanceProgress();
        break;
    default:  // additions do not enlarge the total
        break;
    }
    return answer;
}

void PackageProgress::AdvanceProgress() {
    const std::int32_t ticks = field[1];
    if (!progressActive || ticks > progressTotal) return;
    const std::int64_t moved = progressForward ? std::int64_t{progressPosition} + ticks
                                               : std::int64_t{progressPosition} - ticks;
    progressPosition = static_cast<std::int32_t>(moved);
    if (progressTotal == 0) return;
    float share = static_cast<float>(progressPosition) / static_cast<float>(progressTotal) *
                  static_cast<float>(100 - packageBase);
    // A position far past the total must not overflow the conversion.
    if (share > 1.0e6f) share = 1.0e6f;
    if (share < -1.0e6f) share = -1.0e6f;
    const std::int32_t percent = packageBase + static_cast<std::int32_t>(share);
    if (percent > packagePercent) packagePercent = percent;
    if (report_) report_(packagePercent);
}

bool ScanLogLine(std::wstring_view text, std::wstring& homepageUrl) {
    if (!homepageUrl.empty()) return false;
    constexpr std::wstring_view kProperty = L"Property(S):";
    constexpr std::wstring_view kName = L"InstallHomepageURL =";
    if (text.size() <= 11 || !StartsWithNoCase(text, kProperty)) return false;
    const std::wstring_view rest = Trim(text.substr(kProperty.size()));
    if (rest.size() <= 19 || !StartsWithNoCase(rest, kName)) return false;
    const std::wstring_view value = Trim(rest.substr(kName.size()));
    homepageUrl.assign(value.begin(), value.end());
    return !homepageUrl.empty();
}

}  // namespace ovek
