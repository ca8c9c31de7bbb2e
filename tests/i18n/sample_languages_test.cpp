#include <gtest/gtest.h>

#include <regex>
#include <string_view>

#include "i18n/LanguageResources.h"
#include "i18n/UiStrings.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

std::vector<std::wstring> Placeholders(const std::wstring& text) {
    static const std::wregex placeholder(L"%[-+ #0]*[0-9]*(\\.[0-9]+)?[a-zA-Z]");
    std::vector<std::wstring> found;
    for (std::wsregex_iterator it(text.begin(), text.end(), placeholder), end; it != end; ++it)
        found.push_back(it->str());
    return found;
}

// The translations shipped with the sample product: complete, and usable as
// format strings with the arguments the English texts take.
TEST(SampleLanguages, EveryTextIsTranslatedWithTheSamePlaceholders) {
    LanguageResources resources;
    resources.SetFolder(test::SourcePath(L"sample\\language\\"));
    const std::pair<int32_t, const wchar_t*> languages[] = {
        {1033, L"English"}, {1031, L"Deutsch"}, {1036, L"Fran\u00E7ais"}, {1041, L"\u65E5\u672C\u8A9E"}};
    for (const auto& [id, title] : languages) {
        SCOPED_TRACE(id);
        EXPECT_EQ(resources.LanguageTitle(id), title);
        resources.SetLanguageId(id);
        for (const UiTextEntry& entry : kUiTextTable) {
            const UiTextEntry missing{entry.key, L"\x1"};  // tells an absent key from a translation
            const bool link = std::wstring_view(entry.key).starts_with(L"IDS_RLINK_");
            const std::wstring text = link ? resources.LookUpLink(missing) : resources.LookUpText(missing);
            ASSERT_NE(text, L"\x1") << "no translation of " << testing::PrintToString(std::wstring(entry.key));
            EXPECT_FALSE(text.empty());
            EXPECT_LT(text.size(), 259u) << "cut by the reader";
            if (link) {
                EXPECT_EQ(text.rfind(L"https://", 0), 0u);
            } else {
                EXPECT_EQ(Placeholders(text), Placeholders(entry.text)) << testing::PrintToString(text);
            }
            if (id == 1033) {
                EXPECT_EQ(text, entry.text);
            }
        }
        LanguageResources slides;  // a slide list is kept once found: one object per language
        slides.SetFolder(resources.Folder());
        slides.SetLanguageId(id);
        for (int dpi : {96, 120, 144, 192}) {
            EXPECT_EQ(LanguageResources(slides).SlidePaths(dpi).size(), 3u) << dpi << " dpi";
        }
    }
}

}  // namespace
}  // namespace ovek
