#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "manifest/ProductManifest.h"
#include "support/TestSupport.h"
#include "validate/VersionCheck.h"

namespace ovek {
namespace {

class VersionDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = test::MakeTempFolder(L"version document");
        manifest_.standaloneVersion = L"2.0.0.0";
        manifest_.serverProductCode = L"{OLD}";
    }
    std::wstring Write(const std::string& xml) {
        const std::wstring path = folder_ + L"\\version" + std::to_wstring(++n_) + L".xml";
        std::ofstream(std::filesystem::path(path), std::ios::binary) << xml;
        return path;
    }

    std::wstring folder_;
    int n_ = 0;
    ProductManifest manifest_;
};

TEST_F(VersionDocumentTest, ReadsBothChannels) {
    const auto path = Write(R"(<?xml version="1.0" encoding="utf-8"?>
<ovekwebinstaller>
  <product_code>{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}</product_code>
  <fresh_install>
    <product_version>2.1.0.0</product_version>
    <min_web_installer_version>1.0.0.0</min_web_installer_version>
    <web_installer_download_url>http://127.0.0.1/fresh.exe</web_installer_download_url>
  </fresh_install>
  <patch_install>
    <product_version>2.1.0.5</product_version>
    <min_web_installer_version>1.1.0.0</min_web_installer_version>
    <web_installer_download_url>http://127.0.0.1/patch.exe</web_installer_download_url>
  </patch_install>
</ovekwebinstaller>)");
    ASSERT_TRUE(ParseVersionDocument(path, manifest_));
    EXPECT_EQ(manifest_.serverProductCode, L"{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}");
    EXPECT_EQ(manifest_.freshInstall.productVersion, L"2.1.0.0");
    EXPECT_EQ(manifest_.freshInstall.minWebInstallerVersion, L"1.0.0.0");
    EXPECT_EQ(manifest_.freshInstall.webInstallerDownloadUrl, L"http://127.0.0.1/fresh.exe");
    EXPECT_EQ(manifest_.patchInstall.productVersion, L"2.1.0.5");
    EXPECT_EQ(manifest_.patchInstall.minWebInstallerVersion, L"1.1.0.0");
    EXPECT_EQ(manifest_.patchInstall.webInstallerDownloadUrl, L"http://127.0.0.1/patch.exe");
    EXPECT_EQ(manifest_.standaloneVersion, L"2.1.0.5");
}

TEST_F(VersionDocumentTest, WithoutPatchChannelTheKnownVersionStays) {
    const auto path = Write(
        "<ovekwebinstaller><fresh_install><product_version>3.0.0.0</product_version></fresh_install>"
        "</ovekwebinstaller>");
    ASSERT_TRUE(ParseVersionDocument(path, manifest_));
    EXPECT_EQ(manifest_.freshInstall.productVersion, L"3.0.0.0");
    EXPECT_EQ(manifest_.standaloneVersion, L"2.0.0.0");
    EXPECT_TRUE(manifest_.patchInstall.productVersion.empty());
    EXPECT_TRUE(manifest_.patchInstall.minWebInstallerVersion.empty());
    EXPECT_EQ(manifest_.serverProductCode, L"{OLD}");  // missing elements change nothing
}

TEST_F(VersionDocumentTest, MisplacedElementsAreNotRead) {
    struct Case {
        const char* name;
        std::string xml;
        const wchar_t *fresh, *patch, *freshMin;
    } cases[] = {
        {"patch before fresh",
         "<ovekwebinstaller><patch_install><product_version>2.2.0.0</product_version></patch_install>"
         "<fresh_install><product_version>2.1.0.0</product_version></fresh_install></ovekwebinstaller>",
         L"2.1.0.0", L"", L""},
        {"children out of order",
         "<ovekwebinstaller><fresh_install><min_web_installer_version>1.0.0.0</min_web_installer_version>"
         "<product_version>2.1.0.0</product_version></fresh_install></ovekwebinstaller>",
         L"2.1.0.0", L"", L""},
        {"product code after the channels",
         "<ovekwebinstaller><fresh_install><product_version>2.1.0.0</product_version></fresh_install>"
         "<product_code>{X}</product_code>"
         "<patch_install><product_version>2.2.0.0</product_version></patch_install></ovekwebinstaller>",
         L"", L"2.2.0.0", L""},
    };
    for (auto& c : cases) {
        ProductManifest m;
        ASSERT_TRUE(ParseVersionDocument(Write(c.xml), m)) << c.name;
        EXPECT_EQ(m.freshInstall.productVersion, c.fresh) << c.name;
        EXPECT_EQ(m.patchInstall.productVersion, c.patch) << c.name;
        EXPECT_EQ(m.freshInstall.minWebInstallerVersion, c.freshMin) << c.name;
    }
}

TEST_F(VersionDocumentTest, UnreadableDocuments) {
    EXPECT_FALSE(ParseVersionDocument(L"", manifest_));
    EXPECT_FALSE(ParseVersionDocument(folder_ + L"\\missing.xml", manifest_));
    EXPECT_FALSE(ParseVersionDocument(Write("<ovekwebinstaller><product_code>x</ovekwebinstaller>"), manifest_));
    EXPECT_FALSE(ParseVersionDocument(Write(""), manifest_));
    EXPECT_EQ(manifest_.serverProductCode, L"{OLD}");
}

TEST_F(VersionDocumentTest, AnotherRootReadsNothing) {
    const auto path = Write("<html><patch_install><product_version>9.9.9.9</product_version></patch_install></html>");
    EXPECT_TRUE(ParseVersionDocument(path, manifest_));
    EXPECT_EQ(manifest_.standaloneVersion, L"2.0.0.0");
    EXPECT_TRUE(manifest_.patchInstall.productVersion.empty());
}

}  // namespace
}  // namespace ovek
