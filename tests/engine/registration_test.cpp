#include <gtest/gtest.h>

#include <optional>

#include "app/RegistryKey.h"
#include "engine/Registration.h"

namespace ovek {
namespace {

const std::wstring kKey = L"SOFTWARE\\OvekTests\\Registration";

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key, const std::wstring& name) {
    wchar_t buffer[512];
    DWORD size = sizeof(buffer);
    if (::RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key, const std::wstring& name) {
    DWORD value = 0, size = sizeof(value);
    if (::RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    void Clean() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey.c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
        HKEY companion = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Ovek Systems\\ResourceLangID", 0, KEY_SET_VALUE,
                            &companion) == ERROR_SUCCESS) {
            ::RegDeleteValueW(companion, kCompanion);
            ::RegCloseKey(companion);
        }
    }
    static constexpr const wchar_t* kCompanion = L"C:\\OvekTests\\KAVRO Free\\ovekAgent2.exe";
};

TEST(InstallDirOf, KeepsTheTrailingBackslash) {
    EXPECT_EQ(InstallDirOf(L"C:\\Program Files\\KAVRO\\k.exe").value_or(L"?"), L"C:\\Program Files\\KAVRO\\");
    EXPECT_FALSE(InstallDirOf(L"\\k.exe"));
    EXPECT_FALSE(InstallDirOf(L"k.exe"));
}

TEST_F(RegistrationTest, WhatIsWrittenForEachSituation) {
    struct Case {
        const char* name;
        bool productInstalled;
        const wchar_t* exe;
        DWORD language;
        bool folderValues, languageValues, companion;
    } cases[] = {
        {"fresh, English", false, L"C:\\OvekTests\\KAVRO Free\\k.exe", 1033, true, false, false},
        {"fresh, German", false, L"C:\\OvekTests\\KAVRO Free\\k.exe", 1031, true, true, true},
        {"re-install", true, L"C:\\OvekTests\\KAVRO Free\\k.exe", 1031, false, false, false},
        {"empty folder", false, L"\\k.exe", 1031, false, true, false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        Clean();
        EXPECT_TRUE(RegisterInstallation({c.productInstalled, c.exe, kKey, c.language}));
        auto dir = ReadString(HKEY_LOCAL_MACHINE, kKey, L"InstallDir");
        auto exe = ReadString(HKEY_LOCAL_MACHINE, kKey, L"exe");
        EXPECT_EQ(dir.has_value(), c.folderValues);
        EXPECT_EQ(exe.has_value(), c.folderValues);
        if (c.folderValues) {
            EXPECT_EQ(*dir, L"C:\\OvekTests\\KAVRO Free\\");
            EXPECT_EQ(*exe, c.exe);
        }
        auto initial = ReadDword(HKEY_LOCAL_MACHINE, kKey + L"\\LanguagePacks", L"InitialLangID");
        auto app = ReadDword(HKEY_CURRENT_USER, kKey, L"ApplicationLanguage");
        EXPECT_EQ(initial.has_value(), c.languageValues);
        EXPECT_EQ(app.has_value(), c.languageValues);
        if (c.languageValues) {
            EXPECT_EQ(*initial, c.language);
            EXPECT_EQ(*app, c.language);
        }
        auto companion = ReadString(HKEY_CURRENT_USER, L"SOFTWARE\\Ovek Systems\\ResourceLangID", kCompanion);
        EXPECT_EQ(companion.has_value(), c.companion);
        if (c.companion) {
            EXPECT_EQ(*companion, L"1031");
        }
    }
}

TEST_F(RegistrationTest, EnglishLeavesEarlierLanguageValuesAlone) {
    RegisterInstallation({false, L"C:\\OvekTests\\KAVRO Free\\k.exe", kKey, 1031});
    RegisterInstallation({false, L"C:\\OvekTests\\KAVRO Free\\k.exe", kKey, 1033});
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, kKey + L"\\LanguagePacks", L"InitialLangID").value_or(0), 1031u);
}

}  // namespace
}  // namespace ovek
