#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>

#include "manifest/ParseManifest.h"
#include "support/TestPackages.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

namespace fs = std::filesystem;

class ManifestFile : public ::testing::Test {
protected:
    void SetUp() override { folder_ = test::MakeTempFolder(L"parse-manifest"); }
    std::wstring Write(const std::string& bytes, const wchar_t* name = L"manifest.xml") {
        const std::wstring path = folder_ + L"\\" + name;
        std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
        out << bytes;
        return path;
    }
    // A document with the given children of the product element.
    std::wstring WriteProduct(const std::string& productChildren) {
        return Write("<ovekwebinstaller><product>" + productChildren + "</product></ovekwebinstaller>");
    }
    std::wstring folder_;
};

TEST_F(ManifestFile, ReadsEveryField) {
    const std::wstring path = Write(R"(<?xml version="1.0" encoding="utf-8"?>
<ovekwebinstaller>
  <web_installer_version>1.0.0.1</web_installer_version>
  <product_code>{PC}</product_code>
  <upgrade_code>{UC}</upgrade_code>
  <product>
    <pid>KF-2</pid>
    <full_name>KAVRO Free</full_name>
    <short_name>KAVRO</short_name>
    <registry>SOFTWARE\Ovek Systems\KAVRO Free</registry>
    <prev_registry>SOFTWARE\Ovek Systems\KAVRO Free 1</prev_registry>
    <standalone>false</standalone>
    <standalone_version>2.1.0.0</standalone_version>
    <version_check_url>http://127.0.0.1/v.xml?a=1&amp;b=2</version_check_url>
    <main_component>
      <name>kf.msi</name>
      <executable>KAVRO Free Video Editor.exe</executable>
      <full_url>http://127.0.0.1/kf.msi</full_url>
      <patch_url>http://127.0.0.1/kf-patch.msi</patch_url>
      <transform><lang_id>1031</lang_id><name>de.mst</name><full_url>http://127.0.0.1/de.mst</full_url></transform>
      <transform><lang_id>1041</lang_id><name>ja.mst</name><full_url>http://127.0.0.1/ja.mst</full_url></transform>
    </main_component>
    <language_pack><lang_id>1031</lang_id><pid>KF-DE</pid><name>Deutsch</name><full_url>http://127.0.0.1/de.exe</full_url></language_pack>
    <language_pack><lang_id>1036</lang_id><pid>KF-FR</pid><name>Fran&#231;ais</name><full_url>http://127.0.0.1/fr.exe</full_url></language_pack>
    <dependency><name>runtime.exe</name><full_url>http://127.0.0.1/rt.exe</full_url><install_commandline>/quiet /norestart</install_commandline></dependency>
  </product>
</ovekwebinstaller>
)");
    ProductManifest m;
    ASSERT_TRUE(ParseManifest(path, m));
    EXPECT_EQ(m.webInstallerVersion, L"1.0.0.1");
    EXPECT_EQ(m.productCode, L"{PC}");
    EXPECT_EQ(m.upgradeCode, L"{UC}");
    EXPECT_EQ(m.pid, L"KF-2");
    EXPECT_EQ(m.fullName, L"KAVRO Free");
    EXPECT_EQ(m.shortName, L"KAVRO");
    EXPECT_EQ(m.registryKey, L"SOFTWARE\\Ovek Systems\\KAVRO Free");
    EXPECT_EQ(m.previousRegistryKey, L"SOFTWARE\\Ovek Systems\\KAVRO Free 1");
    EXPECT_EQ(m.standalone, 0);
    EXPECT_EQ(m.standaloneVersion, L"2.1.0.0");
    EXPECT_EQ(m.versionCheckUrl, L"http://127.0.0.1/v.xml?a=1&b=2");
    EXPECT_EQ(m.mainComponent.name, L"kf.msi");
    EXPECT_EQ(m.executable, L"KAVRO Free Video Editor.exe");
    EXPECT_EQ(m.mainComponent.fullUrl, L"http://127.0.0.1/kf.msi");
    EXPECT_EQ(m.mainComponent.patchUrl, L"http://127.0.0.1/kf-patch.msi");
    ASSERT_EQ(m.transforms.size(), 2u);
    EXPECT_EQ(m.transforms[0].langId, 1031);
    EXPECT_EQ(m.transforms[0].name, L"de.mst");
    EXPECT_EQ(m.transforms[1].fullUrl, L"http://127.0.0.1/ja.mst");
    ASSERT_EQ(m.languagePacks.size(), 2u);
    EXPECT_EQ(m.languagePacks[1].langId, 1036);
    EXPECT_EQ(m.languagePacks[1].pid, L"KF-FR");
    EXPECT_EQ(m.languagePacks[1].name, L"Fran\u00E7ais");
    EXPECT_EQ(m.languagePacks[1].fullUrl, L"http://127.0.0.1/fr.exe");
    ASSERT_EQ(m.dependencies.size(), 1u);
    EXPECT_EQ(m.dependencies[0].name, L"runtime.exe");
    EXPECT_EQ(m.dependencies[0].fullUrl, L"http://127.0.0.1/rt.exe");
    EXPECT_EQ(m.dependencies[0].installCommandLine, L"/quiet /norestart");
    EXPECT_TRUE(m.IsUsable());
    EXPECT_TRUE(m.serverProductCode.empty());
    EXPECT_TRUE(m.freshInstall.productVersion.empty());
}

// Elements are read strictly forward: what stands before an element found
// earlier is not seen.
TEST_F(ManifestFile, ElementOrderDecidesWhatIsRead) {
    struct Case {
        const char* what;
        std::string product;
        std::function<void(const ProductManifest&)> check;
    };
    const Case cases[] = {
        {"pid after full_name", "<full_name>KAVRO Free</full_name><pid>KF</pid>",
         [](const ProductManifest& m) {
             EXPECT_EQ(m.pid, L"KF");
             EXPECT_EQ(m.fullName, L"");
         }},
        {"dependency between two language packs",
         "<main_component><name>a</name></main_component>"
         "<language_pack><lang_id>1031</lang_id></language_pack>"
         "<dependency><name>early.exe</name></dependency>"
         "<language_pack><lang_id>1036</lang_id></language_pack>"
         "<dependency><name>late.exe</name></dependency>",
         [](const ProductManifest& m) {
             ASSERT_EQ(m.languagePacks.size(), 2u);
             EXPECT_EQ(m.languagePacks[1].langId, 1036);
             ASSERT_EQ(m.dependencies.size(), 1u);
             EXPECT_EQ(m.dependencies[0].name, L"late.exe");
         }},
        {"two main components",
         "<main_component><name>first.msi</name><full_url>u1</full_url></main_component>"
         "<main_component><name>second.msi</name><full_url>u2</full_url>"
         "<transform><lang_id>1031</lang_id></transform></main_component>"
         "<language_pack><lang_id>1041</lang_id></language_pack>",
         [](const ProductManifest& m) {
             EXPECT_EQ(m.mainComponent.name, L"first.msi");
             EXPECT_EQ(m.mainComponent.fullUrl, L"u1");
             EXPECT_TRUE(m.transforms.empty());
             ASSERT_EQ(m.languagePacks.size(), 1u);
             EXPECT_EQ(m.languagePacks[0].langId, 1041);
         }},
        {"main component without a name",
         "<pid>KF</pid><registry>r</registry><main_component><executable>kf.exe</executable>"
         "<full_url>u</full_url><patch_url>p</patch_url><transform><lang_id>1031</lang_id></transform>"
         "</main_component>",
         [](const ProductManifest& m) {
             EXPECT_EQ(m.executable, L"");
             EXPECT_EQ(m.mainComponent.fullUrl, L"");
             EXPECT_EQ(m.mainComponent.patchUrl, L"");
             EXPECT_TRUE(m.transforms.empty());
             EXPECT_FALSE(m.IsUsable());
         }},
        {"main component before a scalar field",
         "<pid>KF</pid><main_component><name>a</name></main_component><standalone>true</standalone>"
         "<language_pack><lang_id>1031</lang_id></language_pack>",
         [](const ProductManifest& m) {
             EXPECT_EQ(m.standalone, 1);
             EXPECT_EQ(m.mainComponent.name, L"");
             EXPECT_EQ(m.languagePacks.size(), 1u);
         }},
        {"entries without their key element, and elements of other names",
         "<note>x</note><main_component><name>a</name><other/>"
         "<transform><name>no-id.mst</name></transform>"
         "<transform><lang_id>abc</lang_id><name>zero.mst</name></transform>"
         "<transform><lang_id> -12</lang_id></transform>"
         "<transform><lang_id>99999999999</lang_id></transform>"
         "<transform><lang_id>1036xyz</lang_id></transform></main_component>"
         "<language_pack><pid>no id</pid></language_pack><language_pack><lang_id>1031</lang_id></language_pack>"
         "<dependency><full_url>no name</full_url></dependency><dependency><name>d.exe</name></dependency>",
         [](const ProductManifest& m) {
             ASSERT_EQ(m.transforms.size(), 4u);
             EXPECT_EQ(m.transforms[0].langId, 0);
             EXPECT_EQ(m.transforms[0].name, L"zero.mst");
             EXPECT_EQ(m.transforms[1].langId, -12);
             EXPECT_EQ(m.transforms[2].langId, INT_MAX);
             EXPECT_EQ(m.transforms[3].langId, 1036);
             ASSERT_EQ(m.languagePacks.size(), 1u);
             EXPECT_EQ(m.languagePacks[0].langId, 1031);
             ASSERT_EQ(m.dependencies.size(), 1u);
             EXPECT_EQ(m.dependencies[0].name, L"d.exe");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProductManifest m;
        ASSERT_TRUE(ParseManifest(WriteProduct(c.product), m));
        c.check(m);
    }
}

TEST_F(ManifestFile, StandaloneIsTrueInAnyLetterCaseOnly) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    for (const Case c : {Case{"true", 1}, Case{"TRUE", 1}, Case{"True", 1}, Case{"false", 0}, Case{"1", 0},
                         Case{"", 0}, Case{"yes", 0}, Case{"truex", 0}}) {
        ProductManifest m;
        ASSERT_TRUE(ParseManifest(WriteProduct(std::string("<standalone>") + c.text + "</standalone>"), m));
        EXPECT_EQ(m.standalone, c.expected) << '"' << c.text << '"';
    }
}

TEST_F(ManifestFile, MissingElementsKeepTheRecordsValues) {
    ProductManifest m;
    m.fullName = L"kept";
    m.standalone = 1;
    m.languagePacks.push_back({1031, L"", L"", L""});
    ASSERT_TRUE(ParseManifest(WriteProduct("<pid>KF</pid>"), m));
    EXPECT_EQ(m.pid, L"KF");
    EXPECT_EQ(m.fullName, L"kept");
    EXPECT_EQ(m.standalone, 1);
    EXPECT_EQ(m.languagePacks.size(), 1u);

    // Another root, or an empty one: read, and nothing taken from it.
    for (const char* doc : {"<manifest><product><pid>X</pid></product></manifest>", "<ovekwebinstaller/>",
                            "<ovekwebinstaller><pid>X</pid></ovekwebinstaller>"}) {
        ProductManifest empty;
        ASSERT_TRUE(ParseManifest(Write(doc), empty)) << doc;
        EXPECT_EQ(empty.pid, L"") << doc;
        EXPECT_FALSE(empty.IsUsable());
    }
}

TEST_F(ManifestFile, UnreadableOrMalformedFilesAreRefused) {
    struct Case {
        const char* what;
        std::wstring path;
    };
    const Case cases[] = {
        {"missing", folder_ + L"\\absent.xml"},
        {"a folder", folder_},
        {"empty", Write("", L"empty.xml")},
        {"unclosed element", Write("<ovekwebinstaller><product><pid>KF</pid></ovekwebinstaller>", L"unclosed.xml")},
        {"two roots", Write("<ovekwebinstaller/><ovekwebinstaller/>", L"two.xml")},
        {"not markup", Write(std::string("\x01\x02\xFF\xFE\x00garbage", 13), L"garbage.xml")},
    };
    for (const Case& c : cases) {
        ProductManifest m;
        m.pid = L"untouched";
        EXPECT_FALSE(ParseManifest(c.path, m)) << c.what;
        EXPECT_EQ(m.pid, L"untouched") << c.what;
    }
}

TEST(SampleManifest, IsUsableAndNamesTheSampleProduct) {
    ProductManifest m;
    ASSERT_TRUE(ParseManifest(test::SourcePath(L"sample\\config\\manifest.xml"), m));
    EXPECT_TRUE(m.IsUsable());
    EXPECT_EQ(m.fullName, L"KAVRO Free");
    EXPECT_EQ(m.productCode, test::kSampleProduct.productCode);
    EXPECT_EQ(m.upgradeCode, test::kSampleProduct.upgradeCode);
    EXPECT_EQ(m.standaloneVersion, test::kSampleProduct.version);
    EXPECT_EQ(m.standalone, 1);
    EXPECT_EQ(m.mainComponent.name, L"kavro_free.msi");
    EXPECT_EQ(m.executable, L"KAVRO Free Video Editor.exe");
    ASSERT_EQ(m.languagePacks.size(), 3u);
    EXPECT_EQ(m.languagePacks[2].name, L"\u65E5\u672C\u8A9E");
}

}  // namespace
}  // namespace ovek
