#include "markup/XmlReport.h"
#include "framework/DecimalText.h"

namespace ovek::xml {

namespace {

void AppendEscaped(std::wstring& out, std::wstring_view value) {
    for (wchar_t c : value) {
        switch (c) {
        case L'<': out += L"&lt;"; break;
        case L'&': out += L"&amp;"; break;
        case L'>': out += L"&gt;"; break;
        case L'\'': out += L"&apos;"; break;
        case L'"': out += L"&quot;"; break;
        default: out.push_back(c); break;
        }
    }
}

std::wstring Attribute(std::wstring_view name, std::wstring_view value) {
    std::wstring a = L" ";
    a += name;
    a += L"=\"";
    AppendEscaped(a, value);
    a += L"\"";
    return a;
}

}  // namespace

std::wstring ReportNumber(int64_t value) {
    return DecimalText(value);
}

void AddReportEntry(std::wstring& report, std::wstring_view word,
                    std::initializer_list<ReportAttribute> attributes) {
    if (report.size() >= kReportCap) return;
    report += L"<";
    report += word;
    for (const auto& a : attributes) report += Attribute(a.name, a.value);
    report += L"/>";
}

void CompleteReportEntry(std::wstring& report, std::wstring_view word,
                         std::wstring_view name, std::wstring_view value) {
    if (report.size() >= kReportCap) return;
    // Values are escaped, so '<', '>' and '"' only ever delimit entries and
    // attributes: plain searches are exact.
    std::wstring open = L"<";
    open += word;
    size_t at = 0;
    for (;;) {
        at = report.find(open, at);
        if (at == std::wstring::npos) return;
        size_t after = at + open.size();
        if (after < report.size() && (report[after] == L' ' || report[after] == L'/')) break;
        at = after;
    }
    size_t end = report.find(L"/>", at);
    if (end == std::wstring::npos) return;
    std::wstring key = L" ";
    key += name;
    key += L"=\"";
    size_t attr = report.find(key, at);
    if (attr != std::wstring::npos && attr < end) {
        size_t valueStart = attr + key.size();
        size_t valueEnd = report.find(L'"', valueStart);
        std::wstring escaped;
        AppendEscaped(escaped, value);
        report.replace(valueStart, valueEnd - valueStart, escaped);
    } else {
        report.insert(end, Attribute(name, value));
    }
}

}  // namespace ovek::xml
