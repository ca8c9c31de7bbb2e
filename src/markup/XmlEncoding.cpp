#include "markup/XmlEncoding.h"

#include <array>
#include <optional>
#include <vector>

#include "markup/XmlScanner.h"

namespace ovek::xml {

namespace {

struct EncodingName {
    const char* name;  // lower case
    int codePage;
};

// Names as they are met in documents, several of them misspelt or odd; each
// is kept because some document somewhere declares it.
constexpr EncodingName kEncodingNames[] = {
    {"cp154", 154}, {"csptcp154", 154}, {"cyrillic-asian", 154}, {"pt154", 154}, {"ptcp154", 154},
    {"codepage437", 437}, {"cp437", 437}, {"cspc8", 437}, {"cspc8codepage437", 437}, {"ibm437", 437},
    {"asmo-708", 708},
    {"dos-720", 720},
    {"cp737", 737}, {"ibm737", 737},
    {"cp500", 775}, {"cp775", 775}, {"csibm500", 775}, {"cspc775baltic", 775}, {"ebcdic-cp-be", 775}, {"ebcdic-cp-ch", 775}, {"ibm775", 775},
    {"cp850", 850}, {"cspc850multilingual", 850}, {"ibm850", 850},
    {"cp852", 852}, {"cspcp852", 852}, {"ibm852", 852},
    {"cp853", 853},
    {"cp855", 855}, {"csibm855", 855}, {"ibm855", 855},
    {"cp857", 857}, {"csibm857", 857}, {"ibm857", 857},
    {"ccsid00858", 858}, {"cp00858", 858}, {"cp858", 858}, {"ibm00858", 858}, {"pc-multilingual-850+euro", 858},
    {"cp860", 860}, {"csibm860", 860}, {"ibm860", 860},
    {"cp-is", 861}, {"cp861", 861}, {"csibm861", 861}, {"ibm861", 861},
    {"cp862", 862}, {"cspc862latinhebrew", 862}, {"dos-862", 862}, {"ibm862", 862},
    {"cp863", 863}, {"csibm863", 863}, {"ibm863", 863},
    {"cp864", 864}, {"csibm864", 864}, {"ibm864", 864},
    {"cp865", 865}, {"csibm865", 865}, {"ibm865", 865},
    {"cp866", 866}, {"csibm866", 866}, {"ibm866", 866},
    {"cp-gr", 869}, {"cp869", 869}, {"csibm869", 869}, {"ibm869", 869},
    {"cp874", 874}, {"dos-874", 874}, {"iso-8859-11", 874}, {"tis-620", 874}, {"windows-874", 874},
    {"cp932", 932}, {"csshiftjis", 932}, {"cswindows31j", 932}, {"ms932", 932}, {"ms_kanji", 932}, {"shifft_jis", 932}, {"shifft_jis-ms", 932}, {"shift-jis", 932}, {"shift_jis", 932}, {"sjis", 932}, {"sjis-ms", 932}, {"sjis-open", 932}, {"sjis-win", 932}, {"windows-31j", 932}, {"windows-932", 932}, {"x-ms-cp932", 932}, {"x-sjis", 932},
    {"chinese", 936}, {"cn-gb", 936}, {"cp936", 936}, {"csgb2312", 936}, {"csgb231280", 936}, {"csiso58gb231280", 936}, {"gb2312", 936}, {"gb2312-80", 936}, {"gb231280", 936}, {"gb_2312-80", 936}, {"gbk", 936}, {"iso-ir-58", 936}, {"ms936", 936}, {"windows-936", 936},
    {"cp949", 949}, {"csksc56011987", 949}, {"iso-ir-149", 949}, {"korean", 949}, {"ks-c-5601", 949}, {"ks-c5601", 949}, {"ks_c_5601", 949}, {"ks_c_5601-1987", 949}, {"ks_c_5601-1989", 949}, {"ks_c_5601_1987", 949}, {"ksc5601", 949}, {"ksc_5601", 949}, {"uhc", 949},
    {"big5", 950}, {"big5-hkscs", 950}, {"cn-big5", 950}, {"cp950", 950}, {"csbig5", 950}, {"x-x-big5", 950},
    {"cp1125", 1125},
    {"cp1133", 1133}, {"ibm-cp1133", 1133},
    {"cp1200", 1200}, {"ucs-2", 1200}, {"ucs-2le", 1200}, {"unicode", 1200}, {"utf-16", 1200}, {"utf-16le", 1200}, {"utf16", 1200}, {"utf16le", 1200},
    {"cp1201", 1201}, {"ucs-2be", 1201}, {"unicodefffe", 1201}, {"utf-16be", 1201}, {"utf16be", 1201},
    {"cp1250", 1250}, {"ms-ee", 1250}, {"windows-1250", 1250}, {"x-cp1250", 1250},
    {"cp1251", 1251}, {"ms-cyrl", 1251}, {"windows-1251", 1251}, {"x-cp1251", 1251},
    {"cp1252", 1252}, {"ms-ansi", 1252}, {"windows-1252", 1252}, {"x-ansi", 1252},
    {"cp1253", 1253}, {"ms-greek", 1253}, {"windows-1253", 1253},
    {"cp1254", 1254}, {"ms-turk", 1254}, {"windows-1254", 1254},
    {"cp1255", 1255}, {"ms-hebr", 1255}, {"windows-1255", 1255},
    {"cp1256", 1256}, {"cp1256 ", 1256}, {"ms-arab", 1256}, {"windows-1256", 1256},
    {"cp1257", 1257}, {"winbaltrim", 1257}, {"windows-1257", 1257},
    {"cp1258", 1258}, {"windows-1258", 1258},
    {"cp1361", 1361}, {"johab", 1361},
    {"csmacintosh", 10000}, {"mac", 10000}, {"macintosh", 10000},
    {"x-mac-japanese", 10001},
    {"x-mac-chinesetrad", 10002},
    {"x-mac-korean", 10003},
    {"x-mac-arabic", 10004},
    {"x-mac-hebrew", 10005},
    {"x-mac-greek", 10006},
    {"x-mac-cyrillic", 10007},
    {"x-mac-chinesesimp", 10008},
    {"x-mac-romanian", 10010},
    {"x-mac-ukrainian", 10017},
    {"x-mac-thai", 10021},
    {"x-mac-ce", 10029},
    {"x-mac-icelandic", 10079},
    {"x-mac-turkish", 10081},
    {"x-mac-croatian", 10082},
    {"cp12000", 12000}, {"utf-32", 12000}, {"utf-32le", 12000}, {"utf32", 12000}, {"utf32le", 12000},
    {"cp12001", 12001}, {"utf-32be", 12001}, {"utf32be", 12001},
    {"x-chinese-cns", 20000}, {"x-chinese_cns", 20000},
    {"x-cp20001", 20001},
    {"x-chinese-eten", 20002}, {"x_chinese-eten", 20002},
    {"x-cp20003", 20003},
    {"x-cp20004", 20004},
    {"x-cp20005", 20005},
    {"x-ia5", 20105},
    {"x-ia5-german", 20106},
    {"x-ia5-swedish", 20107},
    {"x-ia5-norwegian", 20108},
    {"ansi_x3.4-1968", 20127}, {"ansi_x3.4-1986", 20127}, {"ascii", 20127}, {"cp367", 20127}, {"csascii", 20127}, {"ibm367", 20127}, {"iso-ir-6", 20127}, {"iso-ir-6us", 20127}, {"iso646-us", 20127}, {"iso_646.irv:1991", 20127}, {"us", 20127}, {"us-ascii", 20127},
    {"x-cp20261", 20261},
    {"x-cp20269", 20269},
    {"cskoi8r", 20866}, {"koi", 20866}, {"koi8", 20866}, {"koi8-r", 20866}, {"koi8r", 20866},
    {"cseucpkdfmtjapanese", 20932}, {"euc-jp", 20932}, {"extended_unix_code_packed_format_for_japanese", 20932},
    {"x-cp20936", 20936},
    {"x-cp20949", 20949},
    {"koi8-ru", 21866}, {"koi8-u", 21866},
    {"cp819", 28591}, {"csisolatin1", 28591}, {"ibm819", 28591}, {"iso-8859-1", 28591}, {"iso-ir-100", 28591}, {"iso8859-1", 28591}, {"iso_8859-1", 28591}, {"iso_8859-1:1987", 28591}, {"l1", 28591}, {"latin1", 28591},
    {"csisolatin2", 28592}, {"iso-8859-2", 28592}, {"iso-ir-101", 28592}, {"iso8859-2", 28592}, {"iso_8859-2", 28592}, {"iso_8859-2:1987", 28592}, {"l2", 28592}, {"latin2", 28592},
    {"csisolatin3", 28593}, {"iso-8859-3", 28593}, {"iso-ir-109", 28593}, {"iso8859-3", 28593}, {"iso_8859-3", 28593}, {"iso_8859-3:1988", 28593}, {"l3", 28593}, {"latin3", 28593},
    {"csisolatin4", 28594}, {"iso-8859-4", 28594}, {"iso-ir-110", 28594}, {"iso8859-4", 28594}, {"iso_8859-4", 28594}, {"iso_8859-4:1988", 28594}, {"l4", 28594}, {"latin4", 28594},
    {"csisolatin5", 28595}, {"csisolatincyrillic", 28595}, {"cyrillic", 28595}, {"iso-8859-5", 28595}, {"iso-ir-144", 28595}, {"iso8859-5", 28595}, {"iso_8859-5", 28595}, {"iso_8859-5:1988", 28595},
    {"arabic", 28596}, {"csisolatinarabic", 28596}, {"ecma-114", 28596}, {"iso-8859-6", 28596}, {"iso-ir-127", 28596}, {"iso8859-6", 28596}, {"iso_8859-6", 28596}, {"iso_8859-6:1987", 28596},
    {"csisolatingreek", 28597}, {"ecma-118", 28597}, {"elot_928", 28597}, {"greek", 28597}, {"greek8", 28597}, {"iso-8859-7", 28597}, {"iso-ir-126", 28597}, {"iso8859-7", 28597}, {"iso_8859-7", 28597}, {"iso_8859-7:1987", 28597},
    {"csisolatinhebrew", 28598}, {"hebrew", 28598}, {"iso-8859-8", 28598}, {"iso-ir-138", 28598}, {"iso8859-8", 28598}, {"iso_8859-8", 28598}, {"iso_8859-8:1988", 28598}, {"visual", 28598},
    {"iso-8859-9", 28599}, {"iso-ir-148", 28599}, {"iso8859-9", 28599}, {"iso_8859-9", 28599}, {"iso_8859-9:1989", 28599}, {"l5", 28599}, {"latin5", 28599},
    {"iso-8859-13", 28603}, {"iso8859-13", 28603},
    {"iso-8859-15", 28605}, {"iso8859-15", 28605}, {"iso_8859-15", 28605}, {"l9", 28605}, {"latin-9", 28605}, {"latin9", 28605},
    {"x-europa", 29001},
    {"iso-8859-8-i", 38598}, {"iso8859-8-i", 38598}, {"logical", 38598},
    {"iso-2022-jp", 50220},
    {"_iso-2022-jp", 50221}, {"cp50221", 50221}, {"csiso2022jp", 50221}, {"iso-2022-jp-ms", 50221}, {"iso2022-jp-ms", 50221}, {"ms50221", 50221}, {"windows-50221", 50221},
    {"_iso-2022-jp$sio", 50222},
    {"csiso2022kr", 50225}, {"iso-2022-kr", 50225}, {"iso2022-kr", 50225},
    {"x-cp50227", 50227},
    {"cp51932", 51932}, {"ms51932", 51932}, {"windows-51932", 51932}, {"x-euc", 51932}, {"x-euc-jp", 51932},
    {"euc-cn", 51936}, {"x-euc-cn", 51936},
    {"cseuckr", 51949}, {"euc-kr", 51949},
    {"hz-gb-2312", 52936},
    {"gb18030", 54936}, {"iso-4873:1986", 54936},
    {"x-iscii-de", 57002},
    {"x-iscii-be", 57003},
    {"x-iscii-ta", 57004},
    {"x-iscii-te", 57005},
    {"x-iscii-as", 57006},
    {"x-iscii-or", 57007},
    {"x-iscii-ka", 57008},
    {"x-iscii-ma", 57009},
    {"x-iscii-gu", 57010},
    {"x-iscii-pa", 57011},
    {"csunicode11utf7", 65000}, {"unicode-1-1-utf-7", 65000}, {"utf-7", 65000}, {"x-unicode-2-0-utf-7", 65000},
    {"cp65001", 65001}, {"unicode-1-1-utf-8", 65001}, {"unicode-2-0-utf-8", 65001}, {"utf-8", 65001}, {"utf8", 65001}, {"x-unicode-2-0-utf-8", 65001},
};

constexpr size_t kBuckets = 155;

inline wchar_t FoldAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

// Bucket = sum of the lower-cased name's code units mod 155.
const std::array<std::vector<uint16_t>, kBuckets>& Buckets() {
    static const auto buckets = [] {
        std::array<std::vector<uint16_t>, kBuckets> b;
        for (size_t i = 0; i < std::size(kEncodingNames); ++i) {
            unsigned sum = 0;
            for (const char* p = kEncodingNames[i].name; *p; ++p)
                sum += static_cast<unsigned char>(*p);
            b[sum % kBuckets].push_back(static_cast<uint16_t>(i));
        }
        return b;
    }();
    return buckets;
}

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

bool EndsName(wchar_t c) {
    switch (c) {
    case L' ': case L'\t': case L'\n': case L'\r': case L'<': case L'>': case L'=':
    case L'\\': case L'/': case L'?': case L'!': case L'"': case L'\'': case L';':
        return true;
    default:
        return false;
    }
}

// The name that begins at `from` (after whitespace), within [from, end).
std::wstring_view NameAt(const wchar_t* s, size_t from, size_t end) {
    while (from < end && IsXmlSpace(s[from])) ++from;
    size_t to = from;
    while (to < end && !EndsName(s[to])) ++to;
    return std::wstring_view(s + from, to - from);
}

// Value of attribute `name` in the tag s[from, end), where `from` is just
// after the tag's name: quoted, or unquoted up to whitespace or '>'.
std::optional<std::wstring_view> AttributeValue(const wchar_t* s, size_t from, size_t end,
                                                std::wstring_view name) {
    size_t i = from;
    while (i < end) {
        while (i < end && (IsXmlSpace(s[i]) || s[i] == L'/' || s[i] == L'?')) ++i;
        if (i >= end || s[i] == L'>') break;
        size_t nameStart = i;
        while (i < end && !IsXmlSpace(s[i]) && s[i] != L'=' && s[i] != L'>' && s[i] != L'/')
            ++i;
        std::wstring_view attribute(s + nameStart, i - nameStart);
        while (i < end && IsXmlSpace(s[i])) ++i;
        if (i >= end || s[i] != L'=') {
            if (i == nameStart) ++i;  // a stray character: step over it
            continue;
        }
        ++i;
        while (i < end && IsXmlSpace(s[i])) ++i;
        size_t valueStart = i, valueEnd;
        if (i < end && (s[i] == L'"' || s[i] == L'\'')) {
            wchar_t quote = s[i];
            valueStart = ++i;
            while (i < end && s[i] != quote) ++i;
            valueEnd = i;
            if (i < end) ++i;
        } else {
            while (i < end && !IsXmlSpace(s[i]) && s[i] != L'>') ++i;
            valueEnd = i;
        }
        if (EqualsIgnoreCase(attribute, name))
            return std::wstring_view(s + valueStart, valueEnd - valueStart);
    }
    return std::nullopt;
}

// The word after "charset" and "=" in a Content-Type value.
std::wstring CharsetOf(std::wstring_view content) {
    std::vector<std::wstring_view> words;
    size_t i = 0;
    while (i < content.size()) {
        wchar_t c = content[i];
        if (IsXmlSpace(c)) {
            ++i;
        } else if (EndsName(c)) {
            words.push_back(content.substr(i, 1));
            ++i;
        } else {
            size_t start = i;
            while (i < content.size() && !EndsName(content[i])) ++i;
            words.push_back(content.substr(start, i - start));
        }
    }
    for (size_t w = 0; w + 2 < words.size(); ++w)
        if (EqualsIgnoreCase(words[w], L"charset") && words[w + 1] == L"=")
            return std::wstring(words[w + 2]);
    return {};
}

}  // namespace

size_t EncodingNameCount() { return std::size(kEncodingNames); }

int CodePageOfName(std::wstring_view name) {
    if (name.empty()) return 0;
    if (name.substr(0, 6) == L"UTF-32") return kCodePageUtf32;
    if (name.size() >= 100) return -1;
    unsigned sum = 0;
    for (wchar_t c : name) sum += static_cast<unsigned>(FoldAscii(c));
    for (uint16_t index : Buckets()[sum % kBuckets]) {
        const char* candidate = kEncodingNames[index].name;
        size_t i = 0;
        while (i < name.size() && candidate[i] &&
               static_cast<wchar_t>(static_cast<unsigned char>(candidate[i])) == FoldAscii(name[i]))
            ++i;
        if (i == name.size() && candidate[i] == 0) return kEncodingNames[index].codePage;
    }
    return -1;
}

std::wstring DeclaredEncoding(const wchar_t* text, size_t length) {
    Scanner scanner(text, length, nullptr);
    bool inHtml = false;
    for (;;) {
        const Token t = scanner.Next();
        const size_t end = t.start + t.length;
        switch (t.kind) {
        case kTokenEndOfText:
        case kTokenError:
            return {};
        case kTokenProcessingInstruction:
            if (t.start == 0) {
                std::wstring_view name = NameAt(text, t.start + 2, end);
                if (EqualsIgnoreCase(name, L"xml")) {
                    size_t after = static_cast<size_t>(name.data() - text) + name.size();
                    auto value = AttributeValue(text, after, end, L"encoding");
                    return value ? std::wstring(*value) : std::wstring();
                }
            }
            break;
        case kTokenStartTag: {
            std::wstring_view name = NameAt(text, t.start + 1, end);
            size_t after = static_cast<size_t>(name.data() - text) + name.size();
            if (!inHtml) {
                if (!EqualsIgnoreCase(name, L"html")) return {};
                inHtml = true;
            } else if (EqualsIgnoreCase(name, L"meta")) {
                auto equiv = AttributeValue(text, after, end, L"http-equiv");
                if (equiv && EqualsIgnoreCase(*equiv, L"Content-Type")) {
                    auto content = AttributeValue(text, after, end, L"content");
                    return content ? CharsetOf(*content) : std::wstring();
                }
            }
            break;
        }
        case kTokenEndTag:
            if (EqualsIgnoreCase(NameAt(text, t.start + 2, end), L"head")) return {};
            break;
        default:
            break;
        }
    }
}

bool HasUtf8Form(const unsigned char* bytes, size_t count) {
    size_t i = 0;
    while (i < count) {
        unsigned char lead = bytes[i++];
        if (lead < 0x80) continue;
        size_t following;
        if (!(lead & 0x20)) following = 1;
        else if (!(lead & 0x10)) following = 2;
        else if (!(lead & 0x08)) following = 3;
        else return false;
        for (size_t k = 0; k < following; ++k, ++i)
            if (i >= count || !(bytes[i] & 0x80)) return false;
    }
    return true;
}

}  // namespace ovek::xml
