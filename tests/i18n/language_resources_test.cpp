#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <set>

#include "i18n/LanguageResources.h"
#include "i18n/SlideScale.h"
#include "i18n/UiStrings.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

namespace fs = std::filesystem;

// string.ini as UTF-16LE with a byte-order mark, the form the profile reader
// takes for text outside the ANSI code page.
void WriteUtf16File(const fs::path& path, const std::wstring& text) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write("\xFF\xFE", 2);
    for (wchar_t c : text) {
        const char bytes[2] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF)};
        out.write(bytes, 2);
    }
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class LanguageFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = test::MakeTempFolder(L"language-" + std::wstring(UnitName()));
        resources_.SetFolder(root_ + L"\\");
    }
    static std::wstring UnitName() {
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        return std::wstring(name, name + std::strlen(name));
    }
    fs::path LanguagePath(int id) const { return fs::path(root_) / std::to_wstring(id); }

    std::wstring root_;
    LanguageResources resources_;
};

TEST(UiTextTable, HoldsEachKeyOnceWithItsEnglishText) {
    std::set<std::wstring> keys;
    for (const UiTextEntry& entry : kUiTextTable) {
        EXPECT_EQ(std::wstring(entry.key).rfind(L"IDS_", 0), 0u) << entry.key;
        EXPECT_NE(std::wcslen(entry.text), 0u) << entry.key;
        keys.insert(entry.key);
    }
    EXPECT_EQ(keys.size(), 35u);
    // Texts whose exact form callers and translators depend on.
    EXPECT_STREQ(IDS_ERR_CLIENT_TOO_OLD.text,
                 L"The version of your client is too old, please click \"OK\" to download the latest client.");
    EXPECT_STREQ(IDS_TIME_REMAINING_HOURS.text, L"%02d hours %02d mins %02d secs remaining...");
    EXPECT_EQ(std::wstring(IDS_ERR_INSTALLED_ANOTHER_VERSION.text).find(L'%'), std::wstring::npos);
    EXPECT_EQ(std::wstring(IDS_RLINK_TERMS.text).rfind(L"https://", 0), 0u);
}

TEST_F(LanguageFolder, MissingLanguageFallsBackToEnglishEverywhere) {
    resources_.SetLanguageId(1041);
    for (const UiTextEntry& entry : kUiTextTable) EXPECT_EQ(resources_.LookUpText(entry), entry.text);
    EXPECT_EQ(resources_.LookUpLink(IDS_RLINK_TERMS), IDS_RLINK_TERMS.text);
    EXPECT_EQ(resources_.LookUpLink(IDS_RLINK_SLIDE_SHOW), IDS_RLINK_SLIDE_SHOW.text);
    EXPECT_EQ(resources_.LanguageTitle(1041), L"1041");
    EXPECT_EQ(resources_.LanguageTitle(-7), L"-7");
    EXPECT_TRUE(resources_.SlidePaths(96).empty());
}

TEST_F(LanguageFolder, NothingIsReadBeforeAFolderIsSet) {
    // A language folder relative to the current folder must not be found.
    WriteUtf16File(LanguagePath(1033) / L"string.ini", L"[LANGUAGE]\r\nTitle=relative\r\n[UISTRING]\r\nIDS_INSTALL=relative\r\n");
    WriteFile(LanguagePath(1033) / L"slides" / L"100" / L"a.jpg", "jpeg");
    const fs::path previous = fs::current_path();
    fs::current_path(root_);
    LanguageResources unset;
    EXPECT_EQ(unset.LookUpText(IDS_INSTALL), L"Install");
    EXPECT_EQ(unset.LanguageTitle(1033), L"1033");
    EXPECT_TRUE(unset.SlidePaths(96).empty());
    fs::current_path(previous);
}

TEST_F(LanguageFolder, TranslationWinsAndMissingKeysKeepTheirDefault) {
    WriteUtf16File(LanguagePath(1031) / L"string.ini",
                   L"[LANGUAGE]\r\nTitle=Deutsch\r\n"
                   L"[UISTRING]\r\nIDS_INSTALL=Installieren\r\nIDS_LAUNCH_APP=Jetzt starten\r\n"
                   L"IDS_STATUS_INIT=\r\n"
                   L"[RLINK]\r\nIDS_RLINK_TERMS=https://www.oveksystems.com/de/lizenz\r\n");
    WriteUtf16File(LanguagePath(1041) / L"string.ini", L"[LANGUAGE]\r\nTitle=\x65E5\x672C\x8A9E\r\n");
    resources_.SetLanguageId(1031);

    EXPECT_EQ(resources_.LookUpText(IDS_INSTALL), L"Installieren");
    EXPECT_EQ(resources_.LookUpText(IDS_LAUNCH_APP), L"Jetzt starten");  // no placeholder: shown as it is
    EXPECT_EQ(resources_.LookUpText(IDS_STATUS_INIT), L"") << "a key with an empty value is empty";
    EXPECT_EQ(resources_.LookUpText(IDS_START_NOW), L"Start Now");
    // A link key is read from the link section only, and a text key never is.
    EXPECT_EQ(resources_.LookUpLink(IDS_RLINK_TERMS), L"https://www.oveksystems.com/de/lizenz");
    EXPECT_EQ(resources_.LookUpLink(IDS_RLINK_SLIDE_SHOW), IDS_RLINK_SLIDE_SHOW.text);
    EXPECT_EQ(resources_.LookUpText(IDS_RLINK_TERMS), IDS_RLINK_TERMS.text);

    EXPECT_EQ(resources_.LanguageTitle(1031), L"Deutsch");
    EXPECT_EQ(resources_.LanguageTitle(1041), L"\x65E5\x672C\x8A9E");
    EXPECT_EQ(resources_.LanguageTitle(1036), L"1036");

    // Nothing is cached: a changed file and a changed language apply at once.
    WriteUtf16File(LanguagePath(1031) / L"string.ini", L"[UISTRING]\r\nIDS_INSTALL=Los\r\n");
    EXPECT_EQ(resources_.LookUpText(IDS_INSTALL), L"Los");
    resources_.SetLanguageId(1033);
    EXPECT_EQ(resources_.LookUpText(IDS_INSTALL), L"Install");
}

TEST_F(LanguageFolder, LongValuesAreCutTo259Characters) {
    const std::wstring longText(400, L'x');
    WriteUtf16File(LanguagePath(1036) / L"string.ini",
                   L"[LANGUAGE]\r\nTitle=" + longText + L"\r\n[UISTRING]\r\nIDS_INSTALL=" + longText +
                       L"\r\nIDS_PREPARING=" + std::wstring(259, L'p') + L"\r\n");
    resources_.SetLanguageId(1036);
    EXPECT_EQ(resources_.LookUpText(IDS_INSTALL), std::wstring(259, L'x'));
    EXPECT_EQ(resources_.LookUpText(IDS_PREPARING), std::wstring(259, L'p'));
    EXPECT_EQ(resources_.LanguageTitle(1036), std::wstring(259, L'x'));
}

TEST_F(LanguageFolder, SlidesComeFromTheScaleFolderOfTheResolution) {
    for (int scale : {100, 125, 150, 200}) {
        const fs::path folder = LanguagePath(1033) / L"slides" / std::to_wstring(scale);
        WriteFile(folder / (L"s" + std::to_wstring(scale) + L".jpg"), "jpeg");
        WriteFile(folder / "ignored.png", "png");
        WriteFile(folder / "ignored.jpg.txt", "text");
    }
    struct Case {
        int dpi;
        int scale;
    };
    for (const Case c : {Case{96, 100}, Case{110, 100}, Case{119, 100}, Case{120, 125}, Case{143, 125},
                         Case{144, 150}, Case{168, 150}, Case{192, 200}, Case{288, 200}}) {
        LanguageResources resources;
        resources.SetFolder(root_ + L"\\");
        const std::wstring folder = root_ + L"\\1033\\slides\\" + std::to_wstring(c.scale) + L"\\";
        EXPECT_EQ(resources.SlidePaths(SnappedResolution(c.dpi)),
                  std::vector<std::wstring>{folder + L"s" + std::to_wstring(c.scale) + L".jpg"})
            << c.dpi << " dpi";
    }
    // The screen under test runs at 96 dpi.
    EXPECT_EQ(resources_.SlidePaths(), std::vector<std::wstring>{root_ + L"\\1033\\slides\\100\\s100.jpg"});
}

TEST_F(LanguageFolder, SlideListIsKeptOnceFoundButRetriedWhileEmpty) {
    resources_.SetLanguageId(1031);
    EXPECT_TRUE(resources_.SlidePaths(96).empty());
    WriteFile(LanguagePath(1031) / L"slides" / L"100" / L"a.jpg", "jpeg");
    WriteFile(LanguagePath(1031) / L"slides" / L"100" / L"b.JPG", "jpeg");
    const std::vector<std::wstring> first = resources_.SlidePaths(96);
    EXPECT_EQ(std::set<std::wstring>(first.begin(), first.end()),
              (std::set<std::wstring>{root_ + L"\\1031\\slides\\100\\a.jpg", root_ + L"\\1031\\slides\\100\\b.JPG"}));

    WriteFile(LanguagePath(1036) / L"slides" / L"100" / L"c.jpg", "jpeg");
    resources_.SetLanguageId(1036);
    EXPECT_EQ(resources_.SlidePaths(96), first) << "a language switch keeps the first slides";
}

}  // namespace
}  // namespace ovek
