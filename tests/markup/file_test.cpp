// Loading files: byte-order marks, declared encodings, the UTF-8 check,
// NUL removal, byte swapping and file errors.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "markup/XmlDocument.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

class XmlFile : public testing::Test {
protected:
    void SetUp() override { folder_ = test::MakeTempFolder(L"markup-files"); }

    std::wstring Write(const std::string& bytes, const wchar_t* name = L"doc.xml") {
        std::wstring path = folder_ + L"\\" + name;
        UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(file);
        DWORD written = 0;
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        return path;
    }

    std::wstring folder_;
};

std::string Utf16Le(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string Utf16Be(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out += static_cast<char>(c >> 8);
        out += static_cast<char>(c & 0xFF);
    }
    return out;
}

std::wstring Ansi(const std::string& bytes) {
    wchar_t buffer[64];
    int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), buffer, 64);
    return std::wstring(buffer, n);
}

TEST_F(XmlFile, EncodingsAndReports) {
    struct Case {
        const char* what;
        std::string bytes;
        bool wellFormed;
        std::wstring report;
        std::wstring text;
        uint32_t flags;
    };
    const std::string latin = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xE9</r>";
    const std::string utf16be = Utf16Be(L"<r>\u20ac</r>");
    const Case cases[] = {
        {"empty file", "", false, L"<read encoding=\"\" length=\"0\"/>", L"", 0},
        {"UTF-8 with mark", "\xEF\xBB\xBF<r>\xC3\xA9</r>", true,
         L"<bom/><read encoding=\"UTF-8\" length=\"9\"/><converted_to encoding=\"UTF-16\" length=\"8\"/>",
         L"<r>\u00e9</r>", CXmlDocument::kUtf8Bom},
        {"ISO-8859-1 by declaration", latin, true,
         L"<read encoding=\"ISO-8859-1\" length=\"51\"/><converted_to encoding=\"UTF-16\" length=\"51\"/>",
         L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\u00e9</r>", 0},
        {"markup without declaration", "<r>\xC3\xA9</r>", true,
         L"<read encoding=\"UTF-8\" length=\"9\"/><converted_to encoding=\"UTF-16\" length=\"8\"/>",
         L"<r>\u00e9</r>", 0},
        {"UTF-8 found by the check", " <r>\xC3\xA9</r>", true,
         L"<read encoding=\"UTF-8\" length=\"10\"/><utf8_detection/>"
         L"<converted_to encoding=\"UTF-16\" length=\"9\"/>",
         L" <r>\u00e9</r>", 0},
        {"not UTF-8: ANSI", " <r>\xE9 </r>", true,
         L"<read encoding=\"\" length=\"10\"/><utf8_detection/>"
         L"<converted_to encoding=\"UTF-16\" length=\"10\"/>",
         Ansi(" <r>\xE9 </r>"), 0},
        {"UTF-16LE with mark", "\xFF\xFE" + Utf16Le("<r>x</r>"), true,
         L"<bom/><read encoding=\"UTF-16LE\" length=\"8\"/>", L"<r>x</r>", CXmlDocument::kUtf16LeBom},
        {"UTF-16BE with mark", "\xFE\xFF" + utf16be, true,
         L"<bom/><read encoding=\"UTF-16BE\" length=\"8\"/><endian_swap/>", L"<r>\u20ac</r>",
         CXmlDocument::kUtf16BeBom},
        {"UTF-16LE, odd byte count", "\xFF\xFE" + Utf16Le("<r/>") + "x", true,
         L"<bom/><read encoding=\"UTF-16LE\" length=\"4\"/>", L"<r/>", CXmlDocument::kUtf16LeBom},
        {"UTF-16LE without mark", Utf16Le("<r>ab</r>"), true,
         L"<read encoding=\"UTF-8\" length=\"18\"/><nulls_removed count=\"9\"/>"
         L"<converted_to encoding=\"UTF-16\" length=\"9\"/>",
         L"<r>ab</r>", 0},
        {"utf-16 declared without mark", "<?xml version=\"1.0\" encoding=\"utf-16\"?><r/>", false,
         L"<read encoding=\"utf-16\" length=\"43\"/><converted_to encoding=\"UTF-16\" length=\"0\"/>",
         L"", 0},
        {"UTF-32 declared without mark", "<?xml version=\"1.0\" encoding=\"UTF-32\"?><r/>", false,
         L"<read encoding=\"UTF-32\" length=\"43\"/><converted_to encoding=\"UTF-16\" length=\"0\"/>",
         L"", 0},
        {"unknown encoding: ANSI", "<?xml encoding=\"nonsense\"?><r>\xE9</r>", true,
         L"<read encoding=\"nonsense\" length=\"35\"/><converted_to encoding=\"UTF-16\" length=\"35\"/>",
         L"<?xml encoding=\"nonsense\"?>" + Ansi("<r>\xE9</r>"), 0},
        {"declares UTF-8, holds Latin-1", "<?xml version=\"1.0\" encoding=\"utf-8\"?><r>\xE9</r>", true,
         L"<read encoding=\"utf-8\" length=\"46\"/><converted_to encoding=\"UTF-16\" length=\"46\"/>",
         L"<?xml version=\"1.0\" encoding=\"utf-8\"?><r>\ufffd</r>", 0},
        {"mark followed by nothing", "\xEF\xBB\xBF", false,
         L"<bom/><read encoding=\"UTF-8\" length=\"0\"/>", L"", CXmlDocument::kUtf8Bom},
        {"parse entries follow", "\xEF\xBB\xBF<a/><b/>", false,
         L"<bom/><read encoding=\"UTF-8\" length=\"8\"/><converted_to encoding=\"UTF-16\" length=\"8\"/>"
         L"<root_has_sibling/>",
         L"<a/><b/>", CXmlDocument::kUtf8Bom},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CXmlDocument doc;
        EXPECT_EQ(doc.LoadFile(Write(c.bytes)), c.wellFormed);
        EXPECT_EQ(doc.GetResult(), c.report);
        EXPECT_EQ(doc.GetText(), c.text);
        EXPECT_EQ(doc.GetFlags(), c.flags);
    }
}

TEST_F(XmlFile, LoadedDocumentIsNavigable) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(Write("\xEF\xBB\xBF<m>\r\n  <name>K&amp;V \xE2\x82\xAC</name>\r\n</m>\r\n")));
    ASSERT_TRUE(doc.FindChildElement(L"name"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetElementText(), L"K&V \u20ac");
    // Loading again starts over: position, text, report and marks.
    ASSERT_FALSE(doc.LoadFile(Write("<a/><b/>", L"two.xml")));
    EXPECT_EQ(doc.MainPos(), 0);
    EXPECT_EQ(doc.GetFlags(), 0u);
    EXPECT_TRUE(doc.FindElement(L"a"));
    ASSERT_TRUE(doc.LoadFile(Write("\xFE\xFF" + Utf16Be(L"<r/>"), L"three.xml")));
    ASSERT_TRUE(doc.LoadFile(Write("<r>x</r>", L"four.xml")));
    EXPECT_EQ(doc.GetText(), L"<r>x</r>");
    EXPECT_EQ(doc.GetFlags(), 0u);
}

TEST_F(XmlFile, FileErrors) {
    auto systemMessage = [](DWORD code) {
        wchar_t* buffer = nullptr;
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                             FORMAT_MESSAGE_ALLOCATE_BUFFER,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        std::wstring message = buffer ? buffer : L"";
        if (buffer) ::LocalFree(buffer);
        return message.substr(0, message.find_first_of(L"\r\n"));
    };

    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<old/>"));
    EXPECT_FALSE(doc.LoadFile(folder_ + L"\\missing.xml"));
    EXPECT_EQ(doc.GetResult(),
              L"<file_error msg=\"" + systemMessage(ERROR_FILE_NOT_FOUND) + L"\" n=\"2\"/>");
    EXPECT_EQ(doc.GetText(), L"");
    EXPECT_FALSE(doc.FindElement());

    EXPECT_FALSE(doc.LoadFile(nullptr));
    EXPECT_NE(doc.GetResult().find(L"<file_error msg="), std::wstring::npos);

    // A file of 2 GiB or more does not fit the 32-bit lengths: refused
    // before anything is read.
    const std::wstring big = folder_ + L"\\big.xml";
    {
        UniqueHandle file(::CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER size;
        size.QuadPart = 0x80000000LL;
        ASSERT_TRUE(::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.get()));
    }
    EXPECT_FALSE(doc.LoadFile(big));
    EXPECT_EQ(doc.GetResult(), L"<file_error msg=\"" + systemMessage(ERROR_FILE_TOO_LARGE) +
                                   L"\" n=\"" + std::to_wstring(ERROR_FILE_TOO_LARGE) + L"\"/>");
    ::DeleteFileW(big.c_str());
}

}  // namespace
}  // namespace ovek
