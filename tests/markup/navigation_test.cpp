// Forward navigation, element text and character references.
#include <gtest/gtest.h>

#include <string>

#include "markup/XmlDocument.h"
#include "markup/XmlReferences.h"

namespace ovek {
namespace {

struct Position {
    int32_t parent, main, child;
    bool operator==(const Position&) const = default;
};

Position PositionOf(const CXmlDocument& doc) {
    return {doc.ParentPos(), doc.MainPos(), doc.ChildPos()};
}

TEST(XmlNavigation, RepeatedElementsAtOneLevel) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r><a>1</a><a>2</a></r>"));
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(PositionOf(doc), (Position{1, 0, 0}));
    EXPECT_EQ(doc.NodeKind(), 0);
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetElementText(), L"1");
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetElementText(), L"2");
    const Position before = PositionOf(doc);
    EXPECT_FALSE(doc.FindElement(L"a"));
    EXPECT_EQ(PositionOf(doc), before);
    EXPECT_EQ(doc.GetElementText(), L"2");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(PositionOf(doc), (Position{0, 1, 3}));
    EXPECT_FALSE(doc.LeaveElement());
}

TEST(XmlNavigation, ReaderPattern) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(
        L"<m>\n <name>KAVRO</name>\n <group><x>1</x><y>2</y></group>\n <tail>t</tail>\n</m>"));
    // A child search right after the parse first moves to the root.
    ASSERT_TRUE(doc.FindChildElement(L"name"));
    EXPECT_EQ(PositionOf(doc), (Position{0, 1, 2}));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetElementText(), L"KAVRO");
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.FindChildElement(L"group"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindChildElement(L"y"));  // skips x
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetElementText(), L"2");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_FALSE(doc.FindChildElement(L"x"));  // strictly forward
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_FALSE(doc.FindChildElement(L"name"));  // already passed
    ASSERT_TRUE(doc.FindChildElement(L"tail"));
    EXPECT_FALSE(doc.FindChildElement());
}

TEST(XmlNavigation, FailedFindsLeaveThePositionAlone) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r><a/></r>"));
    EXPECT_FALSE(doc.FindChildElement(L"zz"));
    EXPECT_EQ(PositionOf(doc), (Position{0, 0, 0}));
    EXPECT_TRUE(doc.FindElement(L"r"));  // the root is still ahead
    EXPECT_FALSE(doc.EnterElement() && doc.EnterElement() && doc.EnterElement());
    CXmlDocument empty;
    EXPECT_FALSE(empty.FindElement());
    EXPECT_FALSE(empty.FindChildElement());
    EXPECT_FALSE(empty.EnterElement());
    EXPECT_FALSE(empty.LeaveElement());
    EXPECT_EQ(empty.GetElementText(), L"");
}

TEST(XmlNavigation, EnterWithoutChildAndReset) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r><a/><b/></r>"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.NodeKind(), 1);
    ASSERT_TRUE(doc.FindChildElement(L"b"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(PositionOf(doc), (Position{1, 3, 0}));
    EXPECT_FALSE(doc.EnterElement() && doc.MainPos() != 0);
    ASSERT_TRUE(doc.SetDocumentText(L"<r/>"));
    EXPECT_EQ(PositionOf(doc), (Position{0, 0, 0}));
}

TEST(XmlNavigation, SearchArguments) {
    struct Case { const wchar_t* name; bool found; };
    const Case cases[] = {
        {nullptr, true}, {L"", true}, {L"a", true}, {L"/a", false}, {L"b", false},
        {L"a[1]", true}, {L"a[@id='x]y']", true}, {L"a/b", true}, {L"a b", true},
        {L"a[", false}, {L"a//b", false}, {L"a/", false}, {L"[1]", false}, {L"A", false},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.SetDocumentText(L"<a id=\"x\"><c/></a>"));
        EXPECT_EQ(doc.FindElement(c.name), c.found)
            << (c.name ? std::string(c.name, c.name + wcslen(c.name)) : "null");
    }
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r><a.b/><c\n/></r>"));
    ASSERT_TRUE(doc.FindElement(L"r"));
    EXPECT_TRUE(doc.FindChildElement(L"a.b"));
    EXPECT_TRUE(doc.FindChildElement(L"c"));
}

TEST(XmlText, ContentForms) {
    struct Case { const wchar_t* text; const wchar_t* expected; };
    const Case cases[] = {
        {L"<x>a&amp;b&#65;&#x42;&lt;</x>", L"a&bAB<"},
        {L"<x><![CDATA[a<b]]> <!--c--> tail</x>", L"a<b tail"},
        {L"<x>one<?p?> two <!-- c -->three</x>", L"one two three"},
        {L"<x>  spaced  </x>", L"  spaced  "},
        {L"<x>a &gt; b</x>", L"a > b"},
        {L"<x>t<y/>u</x>", L""},  // a child element hides the text
        {L"<x/>", L""},
        {L"<x></x>", L""},
        {L"<x><![CDATA[]]></x>", L""},
        {L"<x><![CDATA[&amp;]]>&amp;</x>", L"&amp;&"},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        doc.SetDocumentText(c.text);
        ASSERT_TRUE(doc.FindElement(L"x"));
        EXPECT_EQ(doc.GetElementText(), c.expected)
            << std::string(c.text, c.text + wcslen(c.text));
    }
}

TEST(XmlText, References) {
    std::wstring smiley;
    xml::AppendCodePoint(smiley, 0x1F600);
    struct Case { const wchar_t* in; std::wstring out; };
    const Case cases[] = {
        {L"&AMP;", L"&"},
        {L"&zzz;", L"&zzz;"},
        {L"&;", L"&;"},
        {L"&abcdefghij;", L"&abcdefghij;"},  // ten characters
        {L"&amp", L"&amp"},
        {L"&a&amp;", L"&a&"},
        {L"&\u00e9;", L"&\u00e9;"},
        {L"&#0;", L"&#0;"},
        {L"&#;", L"&#;"},
        {L"&#x;", L"&#x;"},
        {L"&#-5;", L"&#-5;"},
        {L"&#X41;&#65x;", L"AA"},
        {L"&#xD800;", L"&#xD800;"},
        {L"&#x110000;", L"&#x110000;"},
        {L"&#x1F600;&#128512;", smiley + smiley},
        {L"&apos;&quot;&nbsp;&euro;", L"'\"\u00a0\u20ac"},
        {L"&eacute;&Eacute;&EACUTE;", L"\u00e9\u00c9\u00c9"},
        {L"&larr;&lArr;&thetasym;&there4;", L"\u2190\u21d0\u03d1\u2234"},
    };
    for (const auto& c : cases) {
        std::wstring out;
        xml::DecodeReferences(c.in, wcslen(c.in), out);
        EXPECT_EQ(out, c.out) << std::string(c.in, c.in + wcslen(c.in));
    }
    EXPECT_EQ(xml::NamedReferenceCount(), 253u);
}

}  // namespace
}  // namespace ovek
