#include <gtest/gtest.h>

#include <shlwapi.h>

#include <algorithm>

#include "app/RegistryKey.h"
#include "engine/ProductDetection.h"
#include "manifest/InstallerContext.h"
#include "support/TestPackages.h"

namespace ovek {
namespace {

using test::ScopedInstall;

constexpr wchar_t kProductKey[] = L"SOFTWARE\\Ovek Systems\\KAVRO Free Detection Test";
constexpr wchar_t kPreviousKey[] = L"SOFTWARE\\Ovek Systems\\KAVRO Free Detection Test Old";

// Detection against packages really installed with Windows Installer. Each
// test installs what it needs and removes it again.
class Detection : public ::testing::Test {
protected:
    void SetUp() override {
        test::RemoveAllTestProducts();
        RemoveKeys();
        ProductManifest& m = context_.manifest;
        m.productCode = test::kSampleProduct.productCode;
        m.upgradeCode = test::kSampleProduct.upgradeCode;
        m.fullName = L"KAVRO Free";
        m.registryKey = kProductKey;
        m.previousRegistryKey = kPreviousKey;
        m.executable = L"KAVRO Free Video Editor.exe";
        m.standaloneVersion = L"2.1.0.0";
        m.webInstallerVersion = L"1.0.0.1";
    }
    void TearDown() override { RemoveKeys(); }
    static void RemoveKeys() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPreviousKey);
    }
    // InitialLangID (0: none) and language-pack subkeys under a product key.
    static void RecordLanguages(const std::wstring& key, DWORD initial, std::vector<std::wstring> packs) {
        CRegistryKey languagePacks(HKEY_LOCAL_MACHINE, key + reg::kLanguagePacks);
        if (initial) {
            ASSERT_EQ(languagePacks.SetDword(reg::kInitialLangId, initial), ERROR_SUCCESS);
        }
        for (const std::wstring& pack : packs) CRegistryKey(HKEY_LOCAL_MACHINE, key + reg::kLanguagePacks + L"\\" + pack);
    }
    void Detect() {
        product_ = related_ = 0;
        DetectInstalledProduct(context_, product_, related_);
    }
    static std::vector<int32_t> Sorted(std::vector<int32_t> ids) {
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    InstallerContext context_;
    int product_ = 0;
    int related_ = 0;
};

TEST_F(Detection, NothingInstalledLeavesEverythingAsItWas) {
    context_.language.SetLanguageId(1036);
    EXPECT_FALSE(FindInstalledByProductCode(test::kSampleProduct.productCode).Found());
    EXPECT_FALSE(FindInstalledByUpgradeCode(test::kSampleProduct.upgradeCode).Found());
    EXPECT_FALSE(FindInstalledByUpgradeCode(L"").Found());
    EXPECT_FALSE(FindInstalledByProductCode(L"not a product code").Found());

    RecordLanguages(kProductKey, 1031, {L"1031"});
    Detect();
    EXPECT_EQ(product_, 0);
    EXPECT_EQ(related_, 0);
    EXPECT_FALSE(context_.installedProduct.Found());
    EXPECT_EQ(context_.installFolder, L"C:\\Program Files\\Ovek Systems");
    EXPECT_EQ(context_.language.LanguageId(), 1036);
    EXPECT_TRUE(InstalledLanguagePacks(context_, product_, related_).empty());
}

TEST_F(Detection, InstalledProductGivesItsFolderAndRecordedLanguage) {
    ScopedInstall install(test::kSampleProduct);
    ASSERT_EQ(install.Result(), static_cast<UINT>(ERROR_SUCCESS));

    const InstalledProduct found = FindInstalledByProductCode(test::kSampleProduct.productCode);
    EXPECT_EQ(found.version, L"2.1.0.0");
    EXPECT_EQ(found.name, L"KAVRO Free");
    ASSERT_FALSE(found.location.empty());
    EXPECT_EQ(found.location.back(), L'\\');
    EXPECT_TRUE(::PathFileExistsW((found.location + L"KAVRO Free Video Editor.exe").c_str())) << found.location;

    // The recorded language overrides whatever was chosen before; English
    // or nothing recorded leaves the choice alone.
    struct Case {
        DWORD initial;
        int32_t expected;
    };
    for (const Case c : {Case{0, 1036}, Case{1033, 1036}, Case{1031, 1031}, Case{1041, 1041}}) {
        RemoveKeys();
        RecordLanguages(kProductKey, c.initial, {L"1031", L"1036", L"abc"});
        context_.language.SetLanguageId(1036);
        context_.installFolder = L"C:\\elsewhere";
        Detect();
        EXPECT_EQ(product_, 1);
        EXPECT_EQ(related_, 0);
        EXPECT_EQ(context_.installedProduct.version, found.version);
        EXPECT_EQ(context_.installFolder, found.location);
        EXPECT_EQ(context_.language.LanguageId(), c.expected) << "InitialLangID " << c.initial;
    }
    EXPECT_EQ(Sorted(InstalledLanguagePacks(context_, product_, related_)), (std::vector<int32_t>{0, 1031, 1036}));
    EXPECT_TRUE(::PathFileExistsW(context_.ProductExecutablePath().c_str())) << context_.ProductExecutablePath();
    EXPECT_EQ(DecideInstall(context_.manifest, context_.installedProduct, true), InstallDecision::AlreadyInstalled);
}

TEST_F(Detection, RelatedProductIsFoundByUpgradeCode) {
    ScopedInstall install(test::kOlderProduct);
    ASSERT_EQ(install.Result(), static_cast<UINT>(ERROR_SUCCESS));
    RecordLanguages(kPreviousKey, 1041, {L"1041"});
    RecordLanguages(kProductKey, 1031, {L"1031"});  // belongs to the product, which is not installed

    Detect();
    EXPECT_EQ(product_, 0);
    EXPECT_EQ(related_, 1);
    EXPECT_EQ(context_.installedProduct.version, L"1.5.0.0");
    EXPECT_EQ(context_.installedProduct.name, L"KAVRO Free");
    EXPECT_TRUE(::PathFileExistsW((context_.installFolder + L"KAVRO Free Video Editor.exe").c_str()))
        << context_.installFolder;
    EXPECT_NE(context_.installFolder.find(L"KAVRO Free 1.5"), std::wstring::npos);
    EXPECT_EQ(context_.language.LanguageId(), 1041);
    EXPECT_EQ(InstalledLanguagePacks(context_, product_, related_), std::vector<int32_t>{1041});
    // 2.1.0.0 over 1.5.0.0: an upgrade.
    EXPECT_EQ(DecideInstall(context_.manifest, context_.installedProduct, true), InstallDecision::Proceed);
}

TEST_F(Detection, EmptyInstallLocationEmptiesTheInstallFolder) {
    ScopedInstall install(test::kNoLocationProduct);
    ASSERT_EQ(install.Result(), static_cast<UINT>(ERROR_SUCCESS));
    context_.manifest.productCode = test::kNoLocationProduct.productCode;
    context_.manifest.upgradeCode = test::kNoLocationProduct.upgradeCode;

    Detect();
    EXPECT_EQ(product_, 1);
    EXPECT_EQ(context_.installedProduct.version, L"2.0.0.0");
    EXPECT_EQ(context_.installedProduct.location, L"");
    EXPECT_EQ(context_.installFolder, L"");
    EXPECT_EQ(context_.ProductExecutablePath(), L"\\KAVRO Free Video Editor.exe");
}

TEST_F(Detection, PropertyLongerThanTheBufferCountsAsNotInstalled) {
    ScopedInstall install(test::kLongNameProduct);
    ASSERT_EQ(install.Result(), static_cast<UINT>(ERROR_SUCCESS));
    ASSERT_TRUE(test::IsProductInstalled(test::kLongNameProduct));
    context_.manifest.productCode = test::kLongNameProduct.productCode;
    context_.manifest.upgradeCode = test::kLongNameProduct.upgradeCode;
    EXPECT_FALSE(FindInstalledByProductCode(test::kLongNameProduct.productCode).Found());
    Detect();
    EXPECT_EQ(product_, 0);
    EXPECT_EQ(related_, 0);
    EXPECT_EQ(context_.installFolder, L"C:\\Program Files\\Ovek Systems");
}

TEST_F(Detection, PackageThatFailsLeavesNothingToDetect) {
    ScopedInstall install(test::kFailingProduct);
    EXPECT_NE(install.Result(), static_cast<UINT>(ERROR_SUCCESS));
    EXPECT_FALSE(FindInstalledByProductCode(test::kFailingProduct.productCode).Found());
    EXPECT_FALSE(FindInstalledByUpgradeCode(test::kFailingProduct.upgradeCode).Found());
}

}  // namespace
}  // namespace ovek
