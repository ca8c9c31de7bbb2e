// Parsing: the element index, the repairs of broken structure and the report.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "XmlChecks.h"
#include "markup/XmlDocument.h"

namespace ovek {
namespace {

using test::IndexProblem;

std::wstring Repeat(const std::wstring& s, size_t n) {
    std::wstring out;
    out.reserve(s.size() * n);
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
}

TEST(XmlParse, EmptyElementForms) {
    struct Case { const wchar_t* text; bool empty; };
    const Case cases[] = {
        {L"<a/>", true}, {L"<a />", true}, {L"<a x=\"1\"/>", true}, {L"<a x='1'/>", true},
        {L"<a\n/>", true}, {L"<a x=1/>", false}, {L"<a x=\"/>\"></a>", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + wcslen(c.text)));
        CXmlDocument doc;
        const bool ok = doc.SetDocumentText(c.text);
        const ElementRecord& a = doc.Record(1);
        if (c.empty) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(doc.GetResult(), L"");
            EXPECT_EQ(static_cast<size_t>(a.length), wcslen(c.text));
            EXPECT_EQ(a.StartTagLength(), a.length);
            EXPECT_FALSE(a.flags & ElementRecord::kUnended);
        } else if (std::wstring(c.text).find(L"</a>") == std::wstring::npos) {
            EXPECT_FALSE(ok);  // the element stays open and is never ended
            EXPECT_NE(doc.GetResult().find(L"unended_start_tag"), std::wstring::npos);
        } else {
            EXPECT_TRUE(ok);   // the quoted "/>" does not end the tag
            EXPECT_EQ(a.EndTagLength(), 4u);
        }
    }
}

TEST(XmlParse, RecordsOfWellFormedDocument) {
    CXmlDocument doc;
    const std::wstring text = L"<r a=\"1\"><x>t</x><y/><x></x ></r>";
    ASSERT_TRUE(doc.SetDocumentText(text));
    EXPECT_EQ(doc.NextFreeElement(), 5);
    const ElementRecord& doc0 = doc.Record(0);
    EXPECT_EQ(doc0.length, static_cast<int32_t>(text.size()));
    EXPECT_EQ(doc0.firstChild, 1);
    const ElementRecord& r = doc.Record(1);
    EXPECT_EQ(r.start, 0);
    EXPECT_EQ(r.length, static_cast<int32_t>(text.size()));
    EXPECT_EQ(r.StartTagLength(), 9u);
    EXPECT_EQ(r.EndTagLength(), 4u);
    EXPECT_EQ(r.Level(), 0u);
    EXPECT_EQ(r.firstChild, 2);
    EXPECT_EQ(doc.Record(2).Level(), 1u);
    EXPECT_TRUE(doc.Record(2).flags & ElementRecord::kFirstChild);
    EXPECT_EQ(doc.Record(2).prev, 4);  // back-link to the last child
    EXPECT_EQ(doc.Record(2).next, 3);
    EXPECT_EQ(doc.Record(3).prev, 2);
    EXPECT_EQ(doc.Record(4).EndTagLength(), 5u);
    EXPECT_EQ(doc.Record(4).next, 0);
    EXPECT_EQ(doc.ElementName(3), L"y");
    EXPECT_EQ(IndexProblem(doc), "");
}

TEST(XmlParse, UnendedElementIsClosedAtItsStartTag) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(L"<a><b></a>"));
    EXPECT_EQ(doc.GetResult(), L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"7\"/>");
    const ElementRecord& a = doc.Record(1);
    const ElementRecord& b = doc.Record(2);
    EXPECT_EQ(a.length, 10);
    EXPECT_EQ(a.EndTagLength(), 4u);
    EXPECT_EQ(b.length, 3);
    EXPECT_EQ(b.EndTagLength(), 0u);
    EXPECT_TRUE(b.flags & ElementRecord::kUnended);
    EXPECT_TRUE(doc.Record(0).flags & ElementRecord::kNotWellFormed);
    EXPECT_EQ(IndexProblem(doc), "");
}

TEST(XmlParse, ChildrenOfUnendedElementsMoveUp) {
    struct Case { const wchar_t* text; const wchar_t* children; };  // names of r's children
    const Case cases[] = {
        {L"<r><b><c/></r>", L"b c "},
        {L"<r><a>1<b>2<c/><d/></r>", L"a b c d "},
        {L"<r><a><b><c></c><d/></b></r>", L"a b "},  // b is closed inside a, a is not
        {L"<r><e/><a><b/><c><d/></r>", L"e a b c d "},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        EXPECT_FALSE(doc.SetDocumentText(c.text));
        ASSERT_EQ(IndexProblem(doc), "");
        std::wstring names;
        ASSERT_TRUE(doc.FindElement(L"r"));
        while (doc.FindChildElement()) {
            doc.EnterElement();
            names += doc.GetElementName() + L" ";
            doc.LeaveElement();
        }
        EXPECT_EQ(names, c.children) << std::string(c.text, c.text + wcslen(c.text));
    }
}

TEST(XmlParse, ProblemOfUnendedElementMovesToParent) {
    CXmlDocument doc;
    doc.SetDocumentText(L"<r><a><1></r>");
    EXPECT_FALSE(doc.Record(2).flags & ElementRecord::kProblem);
    EXPECT_TRUE(doc.Record(1).flags & ElementRecord::kProblem);
    EXPECT_EQ(doc.GetResult(),
              L"<first_tag_syntax offset=\"6\"/><unended_start_tag tagname=\"a\" offset=\"3\" offset2=\"10\"/>");
}

TEST(XmlParse, LoneEndTagIsIgnored) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(L"<a></b></a>"));
    EXPECT_EQ(doc.GetResult(), L"<lone_end_tag tagname=\"b\" offset=\"3\"/>");
    EXPECT_TRUE(doc.Record(1).flags & ElementRecord::kProblem);
    EXPECT_EQ(doc.Record(1).length, 11);
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetElementText(), L"");
    EXPECT_FALSE(doc.SetDocumentText(L"</x><a/>"));
    EXPECT_EQ(doc.GetResult(), L"<lone_end_tag tagname=\"x\" offset=\"0\"/>");
}

TEST(XmlParse, TopLevelProblems) {
    struct Case { const wchar_t* text; const wchar_t* report; };
    const Case cases[] = {
        {L"", L""},
        {L"just text", L"<no_root_element/>"},
        {L"<!-- c --> <?pi?>", L"<no_root_element/>"},
        {L"<a/><b/>", L"<root_has_sibling/>"},
        {L"<a>", L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"3\"/>"},
        {L"<a", L"<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/><no_root_element/>"},
        {L"<1>", L"<first_tag_syntax offset=\"0\"/><no_root_element/>"},
        {L"<", L"<unterminated_tag_syntax type=\"tag\" offset=\"0\"/><no_root_element/>"},
        {L"<a><b>",
         L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\"/>"
         L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"6\"/><root_has_sibling/>"},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        EXPECT_FALSE(doc.SetDocumentText(c.text));
        EXPECT_EQ(doc.GetResult(), c.report) << std::string(c.text, c.text + wcslen(c.text));
        EXPECT_EQ(IndexProblem(doc), "");
    }
    CXmlDocument doc;
    doc.SetDocumentText(L"<a/><b/>");
    EXPECT_TRUE(doc.FindElement(L"a"));
    EXPECT_TRUE(doc.FindElement(L"b"));
}

TEST(XmlParse, ScannerProblems) {
    struct Case { const wchar_t* text; const wchar_t* firstEntry; bool wellFormed; };
    const Case cases[] = {
        {L"<r><1></r>", L"<first_tag_syntax offset=\"3\"/>", false},
        {L"<r>< a></r>", L"<first_tag_syntax offset=\"3\"/>", false},
        {L"<r><!x></r>", L"<exclamation_tag_syntax offset=\"3\"/>", false},
        {L"<r><!-x></r>", L"<comment_tag_syntax offset=\"3\"/>", false},
        {L"<r><![x]]></r>", L"<cdata_section_syntax offset=\"3\"/>", false},
        {L"<r><!-- x</r>", L"<unterminated_tag_syntax type=\"comment\" offset=\"3\"/>", false},
        {L"<r><![CDATA[x</r>", L"<unterminated_tag_syntax type=\"cdata_section\" offset=\"3\"/>", false},
        {L"<r><?pi x</r>", L"<unterminated_tag_syntax type=\"processing_instruction\" offset=\"3\"/>", false},
        {L"<r></r", L"<unterminated_tag_syntax type=\"end_tag\" offset=\"3\"/>", false},
        {L"<r/><!DOCTYPE r [", L"<unterminated_tag_syntax type=\"document_type\" offset=\"4\"/>", false},
        // A broken declaration inside a document type is noted, the type stands.
        {L"<!DOCTYPE r [<!x>]><r/>", L"<doctype_tag_syntax offset=\"0\"/>", true},
        // Declarations, comments and quoted '>' inside a document type.
        {L"<!DOCTYPE r [<!ENTITY e \"a>b\"><!-- > --><?p > ?>]><r/>", L"", true},
        {L"<?xml version=\"1.0\"?><!-->--><r><![CDATA[<x>]]></r>", L"", true},
        {L"<!-->--><r/>", L"", true},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        SCOPED_TRACE(std::string(c.text, c.text + wcslen(c.text)));
        EXPECT_EQ(doc.SetDocumentText(c.text), c.wellFormed);
        EXPECT_EQ(doc.GetResult().substr(0, wcslen(c.firstEntry)), c.firstEntry);
        if (!*c.firstEntry) EXPECT_EQ(doc.GetResult(), L"");
    }
}

TEST(XmlParse, QuotedGreaterThanDoesNotEndTag) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<a t=\"x>y\" u='>'>z</a>"));
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetElementText(), L"z");
    EXPECT_EQ(doc.Record(1).StartTagLength(), 17u);
}

TEST(XmlParse, ReportStopsGrowingAtItsCap) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(L"<r>" + Repeat(L"</x>", 500) + L"<1></r>"));
    const std::wstring& report = doc.GetResult();
    EXPECT_GE(report.size(), 1000u);
    EXPECT_LT(report.size(), 1000u + 40u);
    EXPECT_EQ(report.substr(report.size() - 2), L"/>");  // the crossing entry is whole
    EXPECT_EQ(report.find(L"first_tag_syntax"), std::wstring::npos);
}

TEST(XmlParse, ReportEscapesValues) {
    CXmlDocument doc;
    doc.SetDocumentText(L"<r></a\"&'<>");
    EXPECT_EQ(doc.GetResult().substr(0, 50), L"<lone_end_tag tagname=\"a&quot;&amp;&apos;&lt;\" off");
}

TEST(XmlParse, NamesMayIgnoreCase) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(L"<Root></root>"));
    doc.SetFlags(CXmlDocument::kIgnoreCase);
    EXPECT_TRUE(doc.SetDocumentText(L"<Root></root>"));
    EXPECT_TRUE(doc.FindElement(L"ROOT"));
}

TEST(XmlParse, FieldLimitsRejectTheDocument) {
    struct Case { std::wstring text; const wchar_t* type; };
    const Case cases[] = {
        {Repeat(L"<a>", 65537), L"nesting"},
        {L"<r><a" + std::wstring(4194304, L' ') + L"></a></r>", L"start_tag"},
        {L"<r><a></a" + std::wstring(1100, L' ') + L"></r>", L"end_tag"},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        EXPECT_FALSE(doc.SetDocumentText(c.text));
        EXPECT_NE(doc.GetResult().find(std::wstring(L"<limit_exceeded type=\"") + c.type),
                  std::wstring::npos)
            << std::string(c.type, c.type + wcslen(c.type));
        EXPECT_EQ(IndexProblem(doc), "");
    }
}

TEST(XmlParse, DeepUnendedNestingStaysLinear) {
    // Every element loses its end tag at once: re-parenting must not go
    // quadratic in the depth.
    const size_t depth = 60000;
    CXmlDocument doc;
    const auto begin = std::chrono::steady_clock::now();
    for (int round = 0; round < 3; ++round)
        EXPECT_FALSE(doc.SetDocumentText(L"<r>" + Repeat(L"<x>t<y/>", depth) + L"</r>"));
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(doc.NextFreeElement(), static_cast<int32_t>(2 * depth + 2));
    EXPECT_EQ(IndexProblem(doc), "");
    EXPECT_EQ(doc.Record(3).parent, 1);  // the first <y/> now sits under r
}

TEST(XmlParse, StrayEndTagsUnderDeepNestingStayLinear) {
    CXmlDocument doc;
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(doc.SetDocumentText(Repeat(L"<a>", 60000) + Repeat(L"</zz>", 200000)));
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(doc.NextFreeElement(), 60001);
}

TEST(XmlParse, EndTagMatchingIsTheSameAtAnyDepth) {
    // Shallow stacks are searched directly, deep ones through counted names:
    // the repairs must not differ.
    for (size_t n : {5, 100}) {
        CXmlDocument doc;
        const std::wstring text = L"<r>" + Repeat(L"<a>", n) + Repeat(L"<b>", n) + L"</a></b>" +
                                  Repeat(L"</a>", n - 1) + L"</r>";
        EXPECT_FALSE(doc.SetDocumentText(text));
        size_t unended = 0;
        for (int32_t e = 1; e < doc.NextFreeElement(); ++e)
            if (doc.Record(e).flags & ElementRecord::kUnended) ++unended;
        EXPECT_EQ(unended, n) << n;  // every b
        // The stray </b> marks the element it stood in, the next-to-last a.
        EXPECT_TRUE(doc.Record(static_cast<int32_t>(n)).flags & ElementRecord::kProblem);
        if (n < 10) EXPECT_NE(doc.GetResult().find(L"<lone_end_tag tagname=\"b\""), std::wstring::npos);
        EXPECT_EQ(IndexProblem(doc), "");
        EXPECT_EQ(doc.Record(1).length, static_cast<int32_t>(text.size()));  // r is closed
        EXPECT_FALSE(doc.Record(1).flags & ElementRecord::kUnended);
    }
}

TEST(XmlParse, IndexGrowsInSegments) {
    ElementIndex index;
    EXPECT_EQ(index.Capacity(), 8);
    index.Reserve(70000);
    EXPECT_EQ(index.Capacity(), 70000);
    for (int32_t n = 0; n < 70000; n += 997) index[n].start = n;
    index.Reserve(300000);
    EXPECT_EQ(index.Capacity(), 300000);
    for (int32_t n = 0; n < 70000; n += 997) EXPECT_EQ(index[n].start, n);
    index[299999].start = 7;
    EXPECT_GE(index.SegmentListCapacity(), 5u);

    // A document with more elements than its text length suggests.
    CXmlDocument doc;
    const size_t count = 100000;
    EXPECT_TRUE(doc.SetDocumentText(L"<r>" + Repeat(L"<a/>", count) + L"</r>"));
    EXPECT_EQ(doc.NextFreeElement(), static_cast<int32_t>(count + 2));
    EXPECT_GE(doc.Index().Capacity(), doc.NextFreeElement());
    EXPECT_EQ(doc.Record(static_cast<int32_t>(count + 1)).start,
              static_cast<int32_t>(3 + 4 * (count - 1)));
    EXPECT_EQ(IndexProblem(doc), "");
}

TEST(XmlParse, ArbitraryInputKeepsTheIndexConsistent) {
    const wchar_t alphabet[] = L"<<<>>//!?-[]CDATA=\"' ab&;#x\n";
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::wstring text;
        const size_t length = random() % 80;
        for (size_t i = 0; i < length; ++i)
            text.push_back(alphabet[random() % (std::size(alphabet) - 1)]);
        CXmlDocument doc;
        doc.SetDocumentText(text);
        ASSERT_EQ(IndexProblem(doc), "") << std::string(text.begin(), text.end());
        while (doc.FindElement()) {
            doc.GetElementText();
            while (doc.FindChildElement()) {
            }
        }
    }
}

}  // namespace
}  // namespace ovek
