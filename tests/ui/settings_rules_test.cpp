// The settings page's folder rules and layout arithmetic, without windows.
#include <gtest/gtest.h>

#include <set>

#include "ui/SettingPanelRules.h"

namespace ovek::settings {
namespace {

TEST(SettingFolders, FinalBackslashAndRelativeFolders) {
    struct Case {
        const wchar_t* typed;
        const wchar_t* kept;
        bool relative;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Ovek\\", L"C:\\Program Files\\Ovek", false},
        {L"C:\\Program Files\\Ovek", L"C:\\Program Files\\Ovek", false},
        {L"C:\\a\\\\", L"C:\\a\\", false},  // only one backslash goes
        {L"C:\\", L"C:\\", false},          // a drive root keeps its backslash
        {L"\\", L"", true},                 // a lone backslash leaves nothing
        {L"\\\\server\\share\\kavro\\", L"\\\\server\\share\\kavro", false},
        {L"\\Ovek", L"\\Ovek", false},
        {L"Ovek\\Kavro", L"Ovek\\Kavro", true},
        {L"..\\Ovek", L"..\\Ovek", true},
        {L"C:Ovek", L"C:Ovek", true},  // the drive's current folder, not a place
        {L"C:", L"C:", false},
        {L"", L"", true},
    };
    for (const Case& c : cases) {
        const std::wstring kept = DropFinalBackslash(c.typed);
        EXPECT_EQ(kept, c.kept) << "typed: " << testing::PrintToString(std::wstring(c.typed));
        EXPECT_EQ(IsRelativeFolder(kept), c.relative) << testing::PrintToString(kept);
    }
}

TEST(SettingFolders, LevelsToCreateShortestFirst) {
    using Levels = std::vector<std::wstring>;
    EXPECT_EQ(FolderLevels(L"C:\\a\\b\\c"), (Levels{L"C:\\a", L"C:\\a\\b", L"C:\\a\\b\\c"}));
    EXPECT_EQ(FolderLevels(L"C:\\a\\\\b"), (Levels{L"C:\\a", L"C:\\a\\b"}));
    EXPECT_EQ(FolderLevels(L"\\a\\b"), (Levels{L"\\a", L"\\a\\b"}));
    EXPECT_EQ(FolderLevels(L"\\\\server\\share\\a\\b"), (Levels{L"\\\\server\\share\\a", L"\\\\server\\share\\a\\b"}));
    EXPECT_EQ(FolderLevels(L"C:\\"), Levels{});
    EXPECT_EQ(FolderLevels(L"C:"), Levels{});
}

TEST(SettingFolders, PickerStartsAtTheNearestExistingFolder) {
    const std::set<std::wstring> existing{L"C:\\", L"C:\\Program Files", L"C:\\Program Files\\Ovek"};
    auto exists = [&](const std::wstring& p) { return existing.count(p) != 0; };
    EXPECT_EQ(PickerStart(L"C:\\Program Files\\Ovek\\", exists), L"C:\\Program Files\\Ovek");
    EXPECT_EQ(PickerStart(L"C:\\Program Files\\Ovek\\new\\deeper", exists), L"C:\\Program Files\\Ovek");
    EXPECT_EQ(PickerStart(L"C:\\nothing", exists), L"C:\\");
    EXPECT_EQ(PickerStart(L"C:\\", exists), L"C:\\");
    EXPECT_EQ(PickerStart(L"Q:\\gone\\away", exists), L"");  // no such drive: no preselection
    EXPECT_EQ(PickerStart(L"", exists), L"");
}

TEST(SettingText, LinkFirstUnlessTheSentenceBeginsWithTheLabel) {
    EXPECT_FALSE(LinkComesFirst(L"I accept the License Terms", L"I accept the"));
    EXPECT_FALSE(LinkComesFirst(L"Ich akzeptiere die Lizenzbedingungen", L"Ich akzeptiere die"));
    EXPECT_TRUE(LinkComesFirst(L"使用許諾条件に同意する", L"に同意する"));
    EXPECT_TRUE(LinkComesFirst(L"", L"I accept the"));
    EXPECT_TRUE(LinkComesFirst(L"I accept the License Terms", L""));
}

MeasuredTexts English96() {
    MeasuredTexts m;
    m.acceptLabel = {70, 16};
    m.link = {80, 16};
    m.heading = {120, 17};
    m.languageLabel = {150, 30};
    m.folderLabel = {110, 30};
    return m;
}

bool Overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(SettingLayout, PlacesTheRowsAsDesignedAt96Dpi) {
    const Box client{0, 0, 660, 417};
    const SettingsLayout l = LayOut(client, English96(), 96, 96);
    EXPECT_EQ(l.install, (Box{180, 174, 480, 208}));
    // The row is centred on check + label + link + gap: (660 - 16 - 80 - 70 - 4) / 2.
    EXPECT_EQ(l.check, (Box{245, 224, 261, 240}));
    EXPECT_EQ(l.acceptLabel, (Box{265, 223, 335, 239}));  // raised by one pixel
    EXPECT_EQ(l.link, (Box{339, 223, 660, 239}));        // the link reaches the right edge
    // Heading and arrow centred together, the heading ending before the arrow.
    const int y2 = 240 + 28;
    EXPECT_EQ(l.expander, (Box{660 - (660 - 16 - 120 - 4) / 2 - 16, y2, 660 - (660 - 16 - 120 - 4) / 2, y2 + 16}));
    EXPECT_EQ(l.heading.right, l.expander.left - 4);
    EXPECT_EQ(l.separator, (Point{0, y2 + 31}));
    const int y3 = y2 + 16 + 38;
    EXPECT_EQ(l.languageLabel, (Box{68, y3, 218, y3 + 30}));
    EXPECT_EQ(l.combo, (Box{222, y3, 592, y3 + 30}));
    EXPECT_EQ(l.edit, (Box{222, y3 + 44, 568, y3 + 74}));
    EXPECT_EQ(l.browse, (Box{568, y3 + 44, 592, y3 + 74}));
    EXPECT_EQ(l.folderLabel, (Box{108, y3 + 44, 218, y3 + 74}));
}

TEST(SettingLayout, LinkFirstPutsTheLabelSecondAtItsMeasuredWidth) {
    MeasuredTexts m = English96();
    m.linkFirst = true;
    const SettingsLayout l = LayOut({0, 0, 660, 417}, m, 96, 96);
    EXPECT_EQ(l.link.left, l.check.right + 4);
    EXPECT_EQ(l.acceptLabel.left, l.link.right + 4);
    EXPECT_EQ(l.acceptLabel.Width(), 70);
}

TEST(SettingLayout, FollowsTheResolutionSteps) {
    // 144 dpi: every length one and a half times, the client of a 990-wide panel.
    MeasuredTexts m = English96();
    const SettingsLayout l = LayOut({0, 0, 990, 640}, m, 144, 144);
    EXPECT_EQ(l.install, (Box{(990 - 450) / 2, 261, (990 - 450) / 2 + 450, 261 + 51}));
    EXPECT_EQ(l.check.top, 312 + 24);
    EXPECT_EQ(l.check.Width(), 24);
    EXPECT_EQ(l.acceptLabel.top, l.check.top - 1);
    EXPECT_EQ(l.languageLabel.left, 102);
    EXPECT_EQ(l.combo.right, 990 - 102);
    EXPECT_EQ(l.browse.Width(), 36);
}

TEST(SettingLayout, LongTextsNeverReachIntoANeighbour) {
    MeasuredTexts m;
    m.acceptLabel = {900, 16};
    m.link = {700, 16};
    m.heading = {2000, 17};
    m.languageLabel = {800, 30};
    m.folderLabel = {900, 30};
    for (bool linkFirst : {false, true}) {
        m.linkFirst = linkFirst;
        const Box client{0, 0, 660, 417};
        const SettingsLayout l = LayOut(client, m, 96, 96);
        const Box boxes[] = {l.check, l.acceptLabel, l.link, l.heading, l.expander,
                             l.languageLabel, l.combo, l.folderLabel, l.edit, l.browse};
        for (const Box& b : boxes) {
            EXPECT_GE(b.left, client.left);
            EXPECT_LE(b.right, client.right);
            EXPECT_GE(b.Width(), 0);
        }
        for (size_t i = 0; i < std::size(boxes); ++i)
            for (size_t j = i + 1; j < std::size(boxes); ++j)
                EXPECT_FALSE(Overlap(boxes[i], boxes[j])) << "boxes " << i << " and " << j;
        EXPECT_GE(l.combo.Width(), (660 - 136) / 3);
        EXPECT_GE(l.expander.left, client.left + 16);
    }
}

TEST(SettingLayout, TitleIsCentredAndNoWiderThanThePage) {
    EXPECT_EQ(TitleBox({0, 0, 660, 417}, {200, 36}, 112, 96), (Box{230, 130, 430, 166}));
    const Box wide = TitleBox({0, 0, 660, 417}, {5000, 36}, 112, 96);
    EXPECT_EQ(wide.left, 16);
    EXPECT_EQ(wide.right, 644);
}

}  // namespace
}  // namespace ovek::settings
