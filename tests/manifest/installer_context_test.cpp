#include <gtest/gtest.h>

#include <shlwapi.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>

#include "app/COvekMasterInstallerApp.h"
#include "app/RegistryKey.h"
#include "manifest/InstallerContext.h"
#include "support/TestPackages.h"
#include "support/InstallerWindows.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kProductKey[] = L"SOFTWARE\\Ovek Systems\\KAVRO Free Context Test";
constexpr wchar_t kPreviousKey[] = L"SOFTWARE\\Ovek Systems\\KAVRO Free Context Test Old";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// A usable manifest; extra goes after version_check_url inside product.
std::string ManifestXml(const std::string& pid, bool standalone = false, const std::string& extra = "",
                        const std::wstring& productCode = L"{00000000-0000-0000-0000-0000000000AA}",
                        const std::wstring& upgradeCode = L"{00000000-0000-0000-0000-0000000000BB}") {
    return "<ovekwebinstaller><web_installer_version>1.0.0.1</web_installer_version>"
           "<product_code>" + Narrow(productCode) + "</product_code>"
           "<upgrade_code>" + Narrow(upgradeCode) + "</upgrade_code><product>"
           "<pid>" + pid + "</pid><full_name>KAVRO Free</full_name><short_name>KAVRO</short_name>"
           "<registry>" + Narrow(kProductKey) + "</registry><prev_registry>" + Narrow(kPreviousKey) + "</prev_registry>"
           "<standalone>" + (standalone ? "true" : "false") + "</standalone>"
           "<standalone_version>2.1.0.0</standalone_version>"
           "<version_check_url>http://127.0.0.1/version.xml</version_check_url>" + extra +
           "<main_component><name>kf.msi</name><executable>kf.exe</executable>"
           "<full_url>http://127.0.0.1/kf.msi</full_url></main_component>"
           "<language_pack><lang_id>1031</lang_id><name>de</name></language_pack>"
           "<language_pack><lang_id>1036</lang_id><name>fr</name></language_pack>"
           "<language_pack><lang_id>1031</lang_id><name>de again</name></language_pack>"
           "</product></ovekwebinstaller>";
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

void CopyTree(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from)) {
        const fs::path target = to / fs::relative(entry.path(), from);
        if (entry.is_directory()) {
            fs::create_directories(target);
        } else {
            fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
        }
    }
}

// Each test gets its own folder standing in for the executable's, a clean
// manifest override in the registry and fresh application flags.
class Context : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = test::MakeTempFolder(L"context-" + std::wstring(name, name + std::strlen(name)));
        exePath_ = folder_ + L"\\OvekWebInstaller.exe";
        savedOverride_ = CRegistryKey(HKEY_CURRENT_USER, reg::kUserProductKey).QueryString(reg::kManifestOverride);
        SetOverride(std::nullopt);
        ResetApp();
        RemoveKeys();
    }
    void TearDown() override {
        SetOverride(savedOverride_);
        ResetApp();
        RemoveKeys();
    }
    static void ResetApp() {
        TheApp().productInstalled = 0;
        TheApp().relatedProductInstalled = 0;
        TheApp().requestedLanguage.clear();
    }
    static void RemoveKeys() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPreviousKey);
    }
    static void SetOverride(const std::optional<std::wstring>& path) {
        CRegistryKey key(HKEY_CURRENT_USER, reg::kUserProductKey);
        if (path) {
            key.SetString(reg::kManifestOverride, *path);
        } else {
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, reg::kUserProductKey, reg::kManifestOverride);
        }
    }
    std::wstring BesideManifest() const { return folder_ + L"\\config\\manifest.xml"; }
    bool Exists(const std::wstring& path) const { return ::PathFileExistsW(path.c_str()) != FALSE; }

    std::wstring folder_;
    std::wstring exePath_;
    std::optional<std::wstring> savedOverride_;
};

TEST_F(Context, LoadResultCodes) {
    struct Case {
        const char* what;
        std::optional<std::string> manifest;  // beside the executable
        std::wstring exePath;                 // empty: the test folder's; "-": none
        int expected;
        bool emptyRecord = false;
        const wchar_t* blockingFile = nullptr;  // a file where a folder belongs
    };
    const std::string noPid = "<ovekwebinstaller><product><registry>r</registry><main_component><name>n</name>"
                              "<full_url>u</full_url></main_component></product></ovekwebinstaller>";
    const std::string noRegistry = "<ovekwebinstaller><product><pid>p</pid><main_component><name>n</name>"
                                   "<full_url>u</full_url></main_component></product></ovekwebinstaller>";
    const std::string noUrl = "<ovekwebinstaller><product><pid>p</pid><registry>r</registry><main_component>"
                              "<name>n</name></main_component></product></ovekwebinstaller>";
    const Case cases[] = {
        {"usable", ManifestXml("KF"), L"", 0},
        {"no manifest", std::nullopt, L"", 1, true},
        {"malformed", std::string("<ovekwebinstaller><product><pid>KF</product>"), L"", 1, true},
        {"not markup", std::string("\xEF\xBB\xBF\x01\x02garbage"), L"", 1, true},
        {"no pid", noPid, L"", 1},
        {"no registry key", noRegistry, L"", 1},
        {"no package address", noUrl, L"", 1},
        {"a file instead of the msi folder", ManifestXml("KF"), L"", 2, false, L"msi"},
        {"a file instead of the component folder", ManifestXml("KF"), L"", 2, false, L"component"},
        {"a file instead of the transform folder", ManifestXml("KF"), L"", 2, false, L"transform"},
        {"no executable path", ManifestXml("KF"), L"-", 3, true},
        {"executable path without a folder", ManifestXml("KF"), L"OvekWebInstaller.exe", 3, true},
        {"executable at a drive's root", ManifestXml("KF"), L"\\OvekWebInstaller.exe", 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(fs::path(folder_));
        fs::create_directories(fs::path(folder_));
        if (c.manifest) WriteFile(BesideManifest(), *c.manifest);
        if (c.blockingFile) WriteFile(folder_ + L"\\" + c.blockingFile, "not a folder");
        InstallerContext context;
        const std::wstring exe = c.exePath.empty() ? exePath_ : c.exePath == L"-" ? L"" : c.exePath;
        EXPECT_EQ(context.LoadManifestFor(exe), c.expected);
        if (c.expected == 0) {
            EXPECT_EQ(context.exeFolder, folder_);
            EXPECT_EQ(context.manifestPath, BesideManifest());
            EXPECT_EQ(context.manifest.pid, L"KF");
            EXPECT_EQ(context.componentFolder, folder_ + L"\\component\\");
            EXPECT_TRUE(Exists(context.componentFolder));
            EXPECT_TRUE(Exists(context.msiFolder));
            EXPECT_TRUE(Exists(context.transformFolder));
        }
        if (c.emptyRecord) {
            EXPECT_TRUE(context.manifest.pid.empty());
        }
    }
}

TEST_F(Context, LoadManifestUsesTheRunningExecutablesFolder) {
    InstallerContext context;
    // No manifest beside the test program.
    EXPECT_EQ(context.LoadManifest(), InstallerContext::kManifestUnusable);
    EXPECT_EQ(context.exeFolder, test::BuildPath(L"tests"));
}

TEST_F(Context, RegistryOverride) {
    WriteFile(folder_ + L"\\other\\override.xml", ManifestXml("OVERRIDE"));
    WriteFile(folder_ + L"\\other\\broken.xml", "<ovekwebinstaller><product>");
    WriteFile(folder_ + L"\\other\\unusable.xml", "<ovekwebinstaller><product><pid>U</pid></product></ovekwebinstaller>");
    struct Case {
        const char* what;
        bool standaloneBeside;
        std::optional<std::wstring> override;
        int expectedCode;
        std::wstring expectedPid;
        std::wstring expectedPath;  // empty: the manifest beside the executable
    };
    const std::wstring other = folder_ + L"\\other\\";
    const Case cases[] = {
        {"names an existing manifest", false, other + L"override.xml", 0, L"OVERRIDE", other + L"override.xml"},
        {"names a missing file", false, other + L"absent.xml", 0, L"BESIDE", L""},
        {"is empty", false, L"", 0, L"BESIDE", L""},
        {"is absent", false, std::nullopt, 0, L"BESIDE", L""},
        {"ignored for a standalone manifest", true, other + L"override.xml", 0, L"BESIDE", L""},
        {"names a malformed manifest", false, other + L"broken.xml", 1, L"", other + L"broken.xml"},
        {"names an unusable manifest", false, other + L"unusable.xml", 1, L"U", other + L"unusable.xml"},
        {"names a folder", false, folder_ + L"\\other", 1, L"", folder_ + L"\\other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(BesideManifest(), ManifestXml("BESIDE", c.standaloneBeside));
        SetOverride(c.override);
        EXPECT_EQ(InstallerContext::ReadRegistryManifestPath().exists,
                  c.override && !c.override->empty() && c.override->find(L"absent") == std::wstring::npos);
        InstallerContext context;
        EXPECT_EQ(context.LoadManifestFor(exePath_), c.expectedCode);
        EXPECT_EQ(context.manifest.pid, c.expectedPid);
        EXPECT_EQ(context.manifestPath, c.expectedPath.empty() ? BesideManifest() : c.expectedPath);
    }
}

TEST_F(Context, InterfaceLanguageChoice) {
    WriteFile(folder_ + L"\\language\\1031\\string.ini", "[LANGUAGE]\r\nTitle=Deutsch\r\n");
    WriteFile(BesideManifest(), ManifestXml("KF"));
    InstallerContext loaded;
    ASSERT_EQ(loaded.LoadManifestFor(exePath_), 0);

    struct Case {
        const wchar_t* requested;
        int32_t user;
        int32_t expected;
    };
    for (const Case c : {
             Case{L"1031", 1033, 1031}, Case{L"1036", 1031, 1036}, Case{L"1036abc", 1033, 1036},
             Case{L"0", 1036, 1036},          // not a usable request: the user's language
             Case{L"-1031", 1036, 1036}, Case{L"abc", 1031, 1031}, Case{L"", 1031, 1031},
             Case{L"2052", 1031, 1033},       // requested but not offered: stays English
             Case{L"", 2052, 1033}, Case{L"1033", 1031, 1033},
         }) {
        InstallerContext context;
        context.exeFolder = folder_;
        context.manifest = loaded.manifest;
        context.ChooseInterfaceLanguage(c.requested, c.user);
        EXPECT_EQ(context.language.LanguageId(), c.expected)
            << "/lang " << testing::PrintToString(std::wstring(c.requested)) << ", user " << c.user;
        EXPECT_EQ(context.language.Folder(), folder_ + L"\\language\\");
    }

    // English first, then every pack in document order, duplicates kept.
    const std::vector<LanguageChoice> offered = loaded.Languages();
    ASSERT_EQ(offered.size(), 4u);
    const std::pair<const wchar_t*, int32_t> expected[] = {
        {L"English", 1033}, {L"Deutsch", 1031}, {L"1036", 1036}, {L"Deutsch", 1031}};
    for (size_t i = 0; i < offered.size(); ++i) {
        EXPECT_EQ(offered[i].name, expected[i].first);
        EXPECT_EQ(offered[i].id, expected[i].second);
    }

    // The "/lang" switch reaches the choice through the load.
    TheApp().requestedLanguage = L"1036";
    InstallerContext switched;
    ASSERT_EQ(switched.LoadManifestFor(exePath_), 0);
    EXPECT_EQ(switched.language.LanguageId(), 1036);
}

TEST_F(Context, InstalledProductsRecordedLanguageOverridesTheChoice) {
    test::ScopedInstall install(test::kSampleProduct);
    ASSERT_EQ(install.Result(), static_cast<UINT>(ERROR_SUCCESS));
    ASSERT_EQ(CRegistryKey(HKEY_LOCAL_MACHINE, std::wstring(kProductKey) + reg::kLanguagePacks)
                  .SetDword(reg::kInitialLangId, 1031),
              ERROR_SUCCESS);
    WriteFile(BesideManifest(), ManifestXml("KF", false, "", test::kSampleProduct.productCode,
                                            test::kSampleProduct.upgradeCode));
    TheApp().requestedLanguage = L"1036";

    InstallerContext context;
    ASSERT_EQ(context.LoadManifestFor(exePath_), 0);
    EXPECT_EQ(TheApp().productInstalled, 1);
    EXPECT_EQ(TheApp().relatedProductInstalled, 0);
    EXPECT_EQ(context.installedProduct.version, test::kSampleProduct.version);
    EXPECT_EQ(context.language.LanguageId(), 1031);
    EXPECT_TRUE(Exists(context.installFolder + L"KAVRO Free Video Editor.exe")) << context.installFolder;
}

TEST_F(Context, SampleProductBesideTheExecutable) {
    CopyTree(test::SourcePath(L"sample"), folder_);
    TheApp().requestedLanguage = L"1041";
    InstallerContext context;
    ASSERT_EQ(context.LoadManifestFor(exePath_), 0);

    const std::vector<LanguageChoice> offered = context.Languages();
    ASSERT_EQ(offered.size(), 4u);
    EXPECT_EQ(offered[1].name, L"Deutsch");
    EXPECT_EQ(offered[2].name, L"Fran\u00E7ais");
    EXPECT_EQ(offered[3].name, L"\u65E5\u672C\u8A9E");
    EXPECT_EQ(context.language.LanguageId(), 1041);
    EXPECT_EQ(context.language.LookUpText(IDS_INSTALL), L"\u30A4\u30F3\u30B9\u30C8\u30FC\u30EB");
    EXPECT_EQ(context.language.SlidePaths(96).size(), 3u);
    // Standalone: its packages are expected in place, nothing is prepared for downloads.
    EXPECT_FALSE(Exists(context.componentFolder));
    EXPECT_TRUE(Exists(context.msiFolder));
    EXPECT_EQ(context.ComponentFilePath(L"kf.exe"), folder_ + L"\\component\\kf.exe");
    EXPECT_EQ(context.LanguagePackFilePath(1031), folder_ + L"\\component\\language_pack_1031.exe");
}

TEST_F(Context, StartUpLoadsTheManifestBesideTheInstaller) {
    CopyTree(test::SourcePath(L"sample"), folder_);
    const std::wstring installer = folder_ + L"\\OvekWebInstaller.exe";
    ASSERT_TRUE(::CopyFileW(test::BuildPath(L"OvekWebInstaller.exe").c_str(), installer.c_str(), FALSE));
    // The wizard opens on the settings page: close it as a person would.
    auto child = test::ChildProcess::Start(L"\"" + installer + L"\" /n");
    ASSERT_TRUE(child);
    EXPECT_EQ(test::CloseInstallerWizard(*child, 30000), std::optional<DWORD>(0));
    // The prepared folders show that the manifest was found and accepted.
    EXPECT_TRUE(Exists(folder_ + L"\\msi"));
    EXPECT_TRUE(Exists(folder_ + L"\\transform"));
}

TEST_F(Context, PrepareFoldersKeepsEarlierDownloads) {
    InstallerContext context;
    context.exeFolder = folder_;
    WriteFile(folder_ + L"\\component\\12345runtime.exe", "earlier download");
    ASSERT_TRUE(context.PrepareFolders());
    EXPECT_TRUE(Exists(folder_ + L"\\component\\12345runtime.exe"));
    EXPECT_TRUE(Exists(folder_ + L"\\msi"));
    EXPECT_TRUE(Exists(folder_ + L"\\transform"));

    fs::remove(fs::path(folder_ + L"\\component\\12345runtime.exe"));
    ASSERT_TRUE(context.PrepareFolders());
    EXPECT_TRUE(Exists(folder_ + L"\\component"));

    // Downloads get a unique tick-count prefix.
    const std::wstring path = context.ComponentFilePath(L"version.xml");
    EXPECT_TRUE(std::regex_match(path.substr(context.componentFolder.size()), std::wregex(L"-?[0-9]+version\\.xml")))
        << path;
    EXPECT_EQ(path.rfind(context.componentFolder, 0), 0u);
    EXPECT_TRUE(std::regex_match(context.LanguagePackFilePath(1036).substr(context.componentFolder.size()),
                                 std::wregex(L"-?[0-9]+language_pack_1036\\.exe")));

    // A standalone installer in a folder that does not exist cannot prepare it.
    InstallerContext missing;
    missing.exeFolder = folder_ + L"\\absent\\deeper";
    missing.manifest.standalone = 1;
    EXPECT_FALSE(missing.PrepareFolders());
}

TEST_F(Context, ProductExecutablePaths) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* path;
        const wchar_t* storedFolder;
    };
    for (const Case c : {Case{L"C:\\Apps\\KAVRO\\", L"C:\\Apps\\KAVRO\\kf.exe", L"C:\\Apps\\KAVRO"},
                         Case{L"C:\\Apps\\KAVRO", L"C:\\Apps\\KAVRO\\kf.exe", L"C:\\Apps\\KAVRO"},
                         Case{L"", L"\\kf.exe", L""}}) {
        InstallerContext context;
        context.manifest.executable = L"kf.exe";
        context.SetInstallFolder(c.folder);
        EXPECT_EQ(context.ProductExecutablePath(), c.path);
        EXPECT_EQ(context.installFolder, c.storedFolder);
    }

    const std::wstring exe = folder_ + L"\\kf.exe";
    WriteFile(exe, "program");
    CRegistryKey(HKEY_LOCAL_MACHINE, kProductKey).SetString(reg::kExe, exe);
    CRegistryKey(HKEY_LOCAL_MACHINE, kPreviousKey).SetString(reg::kExe, folder_ + L"\\gone.exe");
    InstallerContext context;
    context.manifest.registryKey = kProductKey;
    context.manifest.previousRegistryKey = kPreviousKey;
    EXPECT_EQ(context.InstalledProductExecutable(0, 0), L"");
    EXPECT_EQ(context.InstalledProductExecutable(1, 0), exe);
    EXPECT_EQ(context.InstalledProductExecutable(0, 1), L"") << "recorded program no longer exists";
    CRegistryKey(HKEY_LOCAL_MACHINE, kPreviousKey).SetString(reg::kExe, exe);
    EXPECT_EQ(context.InstalledProductExecutable(0, 1), exe);
    TheApp().relatedProductInstalled = 1;
    EXPECT_EQ(context.InstalledProductExecutable(), exe);
}

}  // namespace
}  // namespace ovek
