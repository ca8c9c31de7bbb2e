#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "app/RegistryKey.h"
#include "i18n/RegionRule.h"

namespace ovek {
namespace {

// Keeps the user's Geo key as it was before the test.
class UserRegion : public ::testing::Test {
protected:
    void SetUp() override {
        CRegistryKey geo(HKEY_CURRENT_USER, reg::kGeoKey);
        saved_ = geo.QueryString(reg::kNation);
        savedName_ = geo.QueryString(L"Name");
    }
    void TearDown() override {
        CRegistryKey geo(HKEY_CURRENT_USER, reg::kGeoKey);
        if (saved_) geo.SetString(reg::kNation, *saved_);
        if (savedName_) geo.SetString(L"Name", *savedName_);
    }
    static void SetNation(const std::wstring& text) {
        ASSERT_EQ(CRegistryKey(HKEY_CURRENT_USER, reg::kGeoKey).SetString(reg::kNation, text), ERROR_SUCCESS);
    }
    std::optional<std::wstring> saved_;
    std::optional<std::wstring> savedName_;
};

TEST_F(UserRegion, ConsentFollowsTheNationValue) {
    struct Case {
        const wchar_t* nation;
        bool consent;
    };
    for (const Case c : {Case{L"94", true}, Case{L"122", true}, Case{L"242", true}, Case{L"39", true},
                         Case{L"244", false}, Case{L"122abc", true}, Case{L" 84", true}, Case{L"abc", false},
                         Case{L"", false}, Case{L"-94", false}, Case{L"99999999999", false}}) {
        SetNation(c.nation);
        EXPECT_EQ(UserRegionNeedsConsent(), c.consent) << "Nation=\"" << testing::PrintToString(c.nation) << "\"";
    }
}

TEST_F(UserRegion, MissingKeyOrValueNeedsNoConsent) {
    const LONG removed = ::RegDeleteTreeW(HKEY_CURRENT_USER, reg::kGeoKey);
    ASSERT_TRUE(removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND) << removed;
    EXPECT_FALSE(UserRegionNeedsConsent());
    // Reading left the (empty) key in place: the value alone is missing now.
    EXPECT_FALSE(UserRegionNeedsConsent());
}

TEST(ConsentRegions, TableHoldsThirtyDistinctRegions) {
    std::set<int32_t> ids;
    for (const ConsentRegion& region : kConsentRegions) ids.insert(region.geoId);
    EXPECT_EQ(ids.size(), 30u);
    EXPECT_FALSE(IsConsentRegion(0));
    EXPECT_FALSE(IsConsentRegion(244));  // United States
}

}  // namespace
}  // namespace ovek
