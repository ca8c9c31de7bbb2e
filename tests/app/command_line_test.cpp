#include <gtest/gtest.h>

#include "app/COvekMasterInstallerApp.h"

namespace ovek {
namespace {

struct Flags {
    int silent, skipValidation, launchAfterInstall;
    std::wstring requestedLanguage;
};

struct Case {
    const char* name;
    std::vector<std::wstring> args;  // program path first
    Flags expected;
};

class CommandLineTest : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, SetsFlags) {
    COvekMasterInstallerApp app;
    app.ParseArguments(GetParam().args);
    const Flags& e = GetParam().expected;
    EXPECT_EQ(app.silent, e.silent);
    EXPECT_EQ(app.skipValidation, e.skipValidation);
    EXPECT_EQ(app.launchAfterInstall, e.launchAfterInstall);
    EXPECT_EQ(app.requestedLanguage, e.requestedLanguage);
    EXPECT_EQ(app.productInstalled, 0);
}

const wchar_t* kExe = L"C:\\setup\\OvekWebInstaller.exe";

INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLineTest,
    ::testing::Values(
        Case{"NoArguments", {kExe}, {0, 0, 0, L""}},
        Case{"SkipAndSilent", {kExe, L"/n", L"/s"}, {1, 1, 0, L""}},
        Case{"Launch", {kExe, L"/l"}, {0, 0, 1, L""}},
        Case{"LanguageDigits", {kExe, L"/lang", L"1031"}, {0, 0, 0, L"1031"}},
        Case{"LanguageValueIsAlsoASwitch", {kExe, L"/lang", L"/s"}, {1, 0, 0, L"/s"}},
        Case{"LastLanguageWins", {kExe, L"/lang", L"1031", L"/lang", L"1036"}, {0, 0, 0, L"1036"}},
        Case{"LanguageLastArgumentEmpties", {kExe, L"/lang", L"1031", L"/lang"}, {0, 0, 0, L""}},
        Case{"LanguageBackslashValue", {kExe, L"/lang", L"\\1031"}, {0, 0, 0, L""}},
        Case{"LanguageEmptyValue", {kExe, L"/lang", L"", L"/l"}, {0, 0, 1, L""}},
        Case{"ValueKeptWhole", {kExe, L"/lang", L"10\\31 x"}, {0, 0, 0, L"10\\31 x"}},
        Case{"UpperCaseIgnored", {kExe, L"/S", L"/N", L"/LANG", L"1031"}, {0, 0, 0, L""}},
        Case{"DashIgnored", {kExe, L"-s", L"-lang", L"1031"}, {0, 0, 0, L""}},
        Case{"SwitchWithSuffixIgnored", {kExe, L"/s ", L"/silent", L"/lang=1031"}, {0, 0, 0, L""}},
        Case{"ProgramPathIsLookedUpToo", {L"/s"}, {1, 0, 0, L""}},
        Case{"UnconvertibleCharacterIsNoSwitch", {kExe, L"/\x4E00"}, {0, 0, 0, L""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SwitchTable, HoldsExactlyTheFourSwitches) {
    COvekMasterInstallerApp app;
    SwitchTable table = app.BuildSwitchTable();
    EXPECT_EQ(table.size(), 4u);
    for (const char* key : {"/s", "/n", "/l", "/lang"}) EXPECT_EQ(table.count(key), 1u) << key;
}

}  // namespace
}  // namespace ovek
