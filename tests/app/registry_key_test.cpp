#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/RegistryKey.h"

namespace ovek {
namespace {

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = L"Software\\OvekTests\\" + std::wstring(info->name(), info->name() + strlen(info->name()));
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

    std::wstring path_;
};

TEST_F(RegistryKeyTest, OpeningCreatesTheKey) {
    CRegistryKey key(HKEY_CURRENT_USER, path_);
    EXPECT_TRUE(key.CanWrite());
    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
    ::RegCloseKey(raw);
}

TEST_F(RegistryKeyTest, MissingValuesReadAsAbsent) {
    CRegistryKey key(HKEY_CURRENT_USER, path_);
    EXPECT_FALSE(key.QueryString(L"nothing").has_value());
    EXPECT_EQ(key.QueryInitialLanguage(), 1033u);
}

TEST_F(RegistryKeyTest, StringRoundTripStoresTerminator) {
    const std::wstring text = L"C:\\Program Files\\Ovek Systems\\KAVRO Free\\";
    {
        CRegistryKey key(HKEY_CURRENT_USER, path_);
        EXPECT_EQ(key.SetString(L"InstallDir", text), ERROR_SUCCESS);
        EXPECT_EQ(key.SetString(L"empty", L""), ERROR_SUCCESS);
    }
    CRegistryKey key(HKEY_CURRENT_USER, path_);
    EXPECT_EQ(key.QueryString(L"InstallDir").value_or(L"?"), text);
    EXPECT_EQ(key.QueryString(L"empty").value_or(L"?"), L"");

    DWORD type = 0, size = 0;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), L"InstallDir", RRF_RT_ANY | RRF_NOEXPAND,
                             &type, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 2 * (text.size() + 1));
}

TEST_F(RegistryKeyTest, UnterminatedAndOddSizedStringsReadSafely) {
    CRegistryKey key(HKEY_CURRENT_USER, path_);
    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_SET_VALUE, &raw), ERROR_SUCCESS);
    const wchar_t data[] = L"abcd";
    ::RegSetValueExW(raw, L"bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), 4 * sizeof(wchar_t));
    ::RegSetValueExW(raw, L"odd", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), 5);
    ::RegSetValueExW(raw, L"inner", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"ab\0cd"), 6 * sizeof(wchar_t));
    ::RegCloseKey(raw);
    EXPECT_EQ(key.QueryString(L"bare").value_or(L"?"), L"abcd");
    EXPECT_EQ(key.QueryString(L"odd").value_or(L"?"), L"ab");
    EXPECT_EQ(key.QueryString(L"inner").value_or(L"?"), L"ab");
}

TEST_F(RegistryKeyTest, InitialLanguageReadsDword) {
    CRegistryKey key(HKEY_CURRENT_USER, path_);
    EXPECT_EQ(key.SetDword(L"InitialLangID", 1031), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryInitialLanguage(), 1031u);
    // A value of the wrong size is not a language.
    key.SetString(L"InitialLangID", L"1036");
    EXPECT_EQ(key.QueryInitialLanguage(), 1033u);
}

TEST_F(RegistryKeyTest, EnumeratesSubkeys) {
    CRegistryKey key(HKEY_CURRENT_USER, path_);
    std::vector<std::wstring> names;
    key.EnumerateSubkeys(names);
    EXPECT_TRUE(names.empty());

    CRegistryKey(HKEY_CURRENT_USER, path_ + L"\\1031");
    CRegistryKey(HKEY_CURRENT_USER, path_ + L"\\1036");
    CRegistryKey reopened(HKEY_CURRENT_USER, path_);
    reopened.EnumerateSubkeys(names);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"1031", L"1036"}));
}

TEST_F(RegistryKeyTest, KeyThatCannotOpenRefusesEverything) {
    // A path no key can have: every open fails.
    CRegistryKey key(HKEY_CURRENT_USER, path_ + L"\\" + std::wstring(300, L'x'));
    EXPECT_FALSE(key.CanRead());
    EXPECT_FALSE(key.CanWrite());
    EXPECT_EQ(key.SetString(L"v", L"text"), ERROR_CANTWRITE);
    EXPECT_EQ(key.SetDword(L"v", 1), ERROR_CANTWRITE);
    EXPECT_FALSE(key.QueryString(L"v").has_value());
    EXPECT_EQ(key.QueryInitialLanguage(), 1033u);
    std::vector<std::wstring> names;
    key.EnumerateSubkeys(names);
    EXPECT_TRUE(names.empty());
}

}  // namespace
}  // namespace ovek
