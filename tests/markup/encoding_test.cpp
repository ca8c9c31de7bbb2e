// Encoding names, declared encodings and the UTF-8 form check.
#include <gtest/gtest.h>

#include <string>

#include "markup/XmlEncoding.h"

namespace ovek::xml {
namespace {

TEST(XmlEncoding, CodePageOfName) {
    struct Case { std::wstring name; int codePage; };
    const Case cases[] = {
        {L"", 0},
        {L"UTF-32", kCodePageUtf32}, {L"UTF-32BE", kCodePageUtf32}, {L"utf-32", 12000},
        {L"utf-32be", 12001},
        {L"ISO-8859-1", 28591}, {L"latin1", 28591}, {L"UTF-8", 65001}, {L"utf8", 65001},
        {L"Shift_JIS", 932}, {L"shifft_jis", 932}, {L"cp500", 775}, {L"cp1256 ", 1256},
        {L"Windows-1252", 1252}, {L"UTF-16", 1200}, {L"utf-16be", 1201}, {L"us-ascii", 20127},
        {L"_iso-2022-jp$sio", 50222}, {L"x-mac-ce", 10029}, {L"gb18030", 54936},
        {L"bogus", -1}, {L"utf-8 ", -1}, {L"\u00e9", -1},
        {std::wstring(99, L'a'), -1}, {std::wstring(100, L'a'), -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CodePageOfName(c.name), c.codePage) << std::string(c.name.begin(), c.name.end());
    EXPECT_EQ(EncodingNameCount(), 365u);
}

TEST(XmlEncoding, DeclaredEncoding) {
    struct Case { const wchar_t* text; const wchar_t* encoding; };
    const Case cases[] = {
        {L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r/>", L"ISO-8859-1"},
        {L"<?XML encoding='windows-1252' ?>", L"windows-1252"},
        {L"<?xml version=\"1.0\"?><r/>", L""},
        {L"<?xml encoding=latin1?>", L"latin1?"},  // unquoted values end at whitespace or '>'
        {L" <?xml encoding=\"x\"?>", L""},         // only at the very start
        {L"<r/><?xml encoding=\"x\"?>", L""},
        {L"<?xml version=\"1.0\" encoding=\"UTF-8", L""},  // cut short
        {L"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">",
         L"koi8-r"},
        {L"<HTML><META HTTP-EQUIV=content-type CONTENT='text/html;charset = big5'></HTML>", L"big5"},
        {L"<html><meta name=\"x\" content=\"charset=a\"><meta http-equiv=\"Content-Type\" "
         L"content=\"text/html\"></html>", L""},
        {L"<html><head></head><meta http-equiv=\"Content-Type\" content=\"charset=x\">", L""},
        {L"<body><meta http-equiv=\"Content-Type\" content=\"charset=x\">", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeclaredEncoding(c.text, wcslen(c.text)), c.encoding)
            << std::string(c.text, c.text + wcslen(c.text));
    }
}

TEST(XmlEncoding, Utf8Form) {
    struct Case { std::string bytes; bool utf8; };
    const Case cases[] = {
        {"", true}, {"plain", true}, {"\xC3\xA9", true}, {"\xE2\x82\xAC!", true},
        {"\xF0\x9F\x98\x80", true}, {"\xE9 ", false}, {"\xC3", false}, {"\xE2\x82", false},
        {"\xF8\x80\x80\x80\x80", false}, {"a\xC3\xA9\xE9", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasUtf8Form(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()),
                  c.utf8);
}

}  // namespace
}  // namespace ovek::xml
