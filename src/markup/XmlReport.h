#pragma once
// The result report: empty elements written one after the other, such as
// <lone_end_tag tagname="b" offset="17"/>. Capped so that broken input
// cannot make it grow without bound.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ovek::xml {

constexpr size_t kReportCap = 1000;

struct ReportAttribute {
    std::wstring_view name;
    std::wstring_view value;  // unescaped
};

std::wstring ReportNumber(int64_t value);

// Appends <word a="v" .../> while the report is shorter than the cap; the
// entry that crosses the cap is written whole.
void AddReportEntry(std::wstring& report, std::wstring_view word,
                    std::initializer_list<ReportAttribute> attributes = {});

// Sets attribute `name` on the first entry called `word`: replaces its value
// when present, else adds it after the entry's last attribute. Nothing
// happens when there is no such entry or the report has reached the cap.
void CompleteReportEntry(std::wstring& report, std::wstring_view word,
                         std::wstring_view name, std::wstring_view value);

}  // namespace ovek::xml
