#include <filesystem>
#include <fstream>
#include <iterator>

#include "EngineScenario.h"
#include "TransformFile.h"

#include <msiquery.h>
#include "app/RegistryKey.h"
#include "engine/ProductDetection.h"

namespace ovek::enginetest {

std::wstring EngineScenario::RecordedCommandLine(const std::wstring& nameEnd) const {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = TheContext().componentFolder + L"*" + nameEnd + L".cmdline";
    UniqueFindHandle find(::FindFirstFileW(pattern.c_str(), &found));
    if (!find) return std::wstring();
    std::ifstream in(std::filesystem::path(TheContext().componentFolder + found.cFileName), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

namespace {

void ExpectNeverGoesDown(const RunResult& run) {
    float last = 0.0f;
    for (const auto& s : run.snapshots) {
        EXPECT_GE(s.overallPercent, last) << "state " << s.state;
        last = s.overallPercent;
    }
}

TEST_F(EngineScenario, FreshInstallFinishes) {
    ProductManifest& m = TheContext().manifest;
    m.dependencies.push_back(
        {L"vc_redist.exe", RouteFile("vc_redist.exe", test::BuildPath(L"dependency_recorder_helper.exe")),
         L"/install /quiet /norestart"});

    InstallEngine engine;
    const RunResult run = Run(engine);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.finalState, kStateFinished);
    EXPECT_EQ(run.snapshots.back().statusText, L"Finished.");
    EXPECT_FLOAT_EQ(run.snapshots.back().overallPercent, 100.0f);
    ExpectNeverGoesDown(run);
    EXPECT_TRUE(boxes_.empty());

    // Windows Installer has the product, in the folder we chose.
    EXPECT_EQ(ProductInfo(test::kSampleProduct.productCode, L"VersionString"), L"2.1.0.0");
    const std::wstring folder = installFolder_.substr(0, installFolder_.size() - 1);  // without the backslash
    EXPECT_TRUE(Exists(folder + L"\\" + kExecutable));
    // The registry records it.
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"InstallDir").value_or(L"?"), folder + L"\\");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"exe").value_or(L"?"), folder + L"\\" + kExecutable);
    EXPECT_FALSE(ReadDword(HKEY_LOCAL_MACHINE, std::wstring(kProductKey) + L"\\LanguagePacks", L"InitialLangID"));
    // The home page came from the installation log.
    EXPECT_EQ(TheContext().installHomepageUrl, kHomepage);
    // The prerequisite ran, from a folder whose name has spaces, with its switches.
    const std::wstring line = RecordedCommandLine(L"vc_redist.exe");
    EXPECT_NE(line.find(L"/install /quiet /norestart"), std::wstring::npos) << line;
    EXPECT_EQ(line.front(), L'"') << line;
    EXPECT_GT(RequestsFor("version.xml"), 0u);
}

TEST_F(EngineScenario, UpgradeOverRelatedProduct) {
    test::ScopedInstall older(test::kOlderProduct);
    ASSERT_EQ(older.Result(), static_cast<UINT>(ERROR_SUCCESS));
    const std::wstring oldLocation = ProductInfo(test::kOlderProduct.productCode, L"InstallLocation");
    ASSERT_FALSE(oldLocation.empty());
    // The older generation recorded a language pack; it is installed again.
    CRegistryKey(HKEY_LOCAL_MACHINE, std::wstring(kPreviousKey) + L"\\LanguagePacks\\1031");
    ProductManifest& m = TheContext().manifest;
    m.languagePacks.push_back(
        {1031, L"kavro-de", L"Deutsch", RouteFile("lp1031.exe", test::BuildPath(L"langpack_recorder_helper.exe"))});

    DetectInstalledProduct();
    ASSERT_EQ(TheApp().relatedProductInstalled, 1);
    EXPECT_EQ(TheContext().installFolder, oldLocation);

    InstallEngine engine;
    const RunResult run = Run(engine);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.finalState, kStateFinished);
    ExpectNeverGoesDown(run);
    EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
    EXPECT_FALSE(test::IsProductInstalled(test::kOlderProduct)) << "the upgrade left the older generation";
    // Installed where the older generation was.
    EXPECT_EQ(ProductInfo(test::kSampleProduct.productCode, L"InstallLocation"), oldLocation);
    std::wstring folder = oldLocation;
    if (folder.back() == L'\\') folder.pop_back();
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"InstallDir").value_or(L"?"), folder + L"\\");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"exe").value_or(L"?"), folder + L"\\" + kExecutable);
    EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kPreviousKey, L"exe"));
    const std::wstring line = RecordedCommandLine(L"language_pack_1031.exe");
    EXPECT_EQ(line.substr(line.size() - 3), L" /s") << line;
}

TEST_F(EngineScenario, ReinstallOfTheSameProduct) {
    test::ScopedInstall installed(test::kSampleProduct);
    ASSERT_EQ(installed.Result(), static_cast<UINT>(ERROR_SUCCESS));
    TheContext().manifest.mainComponent.patchUrl =
        RouteFile("kavro_free_patch.msi", test::PackagePath(test::kSampleProduct));
    Route("version.xml", VersionDocument("1.0.0.0", "2.1.0.1"));
    DetectInstalledProduct();
    ASSERT_EQ(TheApp().productInstalled, 1);

    InstallEngine engine;
    const RunResult run = Run(engine);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.finalState, kStateFinished);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
    EXPECT_GT(RequestsFor("kavro_free_patch.msi"), 0u);
    EXPECT_EQ(RequestsFor("kavro_free.msi"), 0u);
    // Nothing is recorded for a re-install.
    EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"InstallDir"));
    EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"exe"));
}

TEST_F(EngineScenario, VersionDecisionsStopWithTheirMessage) {
    struct Case {
        const char* name;
        bool sampleInstalled;
        const wchar_t* fullName;
        std::string document;
        std::wstring message;
    } cases[] = {
        {"already installed", true, L"KAVRO Free", VersionDocument(),
         L"KAVRO Free is already installed. Would you like to launch it?"},
        {"another version", true, L"KAVRO Free Studio", VersionDocument("1.0.0.0", "2.2.0.0"),
         L"Another version of this product is already installed. Installation of this version cannot continue. "
         L"To configure or remove the existing version of this product, use Add/Remove Programs on the Control "
         L"Panel."},
        {"client too old", false, L"KAVRO Free", VersionDocument("9.0.0.0"),
         L"The version of your client is too old, please click \"OK\" to download the latest client."},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::RemoveAllTestProducts();
        if (c.sampleInstalled) {
            ASSERT_EQ(test::InstallPackage(test::kSampleProduct), static_cast<UINT>(ERROR_SUCCESS));
        }
        TheApp().productInstalled = TheApp().relatedProductInstalled = 0;
        TheContext().manifest.fullName = c.fullName;
        Route("version.xml", c.document);
        DetectInstalledProduct();
        boxes_.clear();
        server_->ClearRequests();

        InstallEngine engine;
        const RunResult run = Run(engine);
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(run.finalState, kStateFailed);
        EXPECT_EQ(run.snapshots.back().statusText, L"Install failed.");
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, c.message);
        EXPECT_EQ(boxes_[0].caption, L"Windows Installer");
        EXPECT_EQ(boxes_[0].flags, static_cast<UINT>(0x11));
        EXPECT_EQ(RequestsFor("kavro_free.msi"), 0u);
        EXPECT_EQ(test::IsProductInstalled(test::kSampleProduct), c.sampleInstalled);
    }
}

TEST_F(EngineScenario, ServerFailuresReportTheConnectionError) {
    struct Case {
        const char* name;
        const char* file;
        const char* body;
        int status;
    } cases[] = {
        {"version document missing", "version.xml", "gone", 404},
        {"version document not well formed", "version.xml", "<ovekwebinstaller><fresh_install>", 200},
        {"package missing", "kavro_free.msi", "gone", 404},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        Route("version.xml", VersionDocument());
        RouteFile("kavro_free.msi", test::PackagePath(test::kSampleProduct));
        Route(c.file, c.body, c.status);
        boxes_.clear();
        InstallEngine engine;
        const RunResult run = Run(engine);
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(run.finalState, kStateFailed);
        EXPECT_EQ(engine.ErrorKind(), 4);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text,
                  L"Unable to contact the download server. Check your Internet connection and try again. If the "
                  L"issue persists, please contact Customer Care.");
        EXPECT_EQ(boxes_[0].caption, L"KAVRO Free");
        EXPECT_EQ(boxes_[0].owner, nullptr);
        EXPECT_FALSE(test::IsProductInstalled(test::kSampleProduct));
    }
}

TEST_F(EngineScenario, PackagesThatWindowsInstallerRefuses) {
    struct Case {
        const char* name;
        std::wstring source;
        bool textFile;
    } cases[] = {
        {"launch condition false", test::PackagePath(test::kFailingProduct), false},
        {"not a package", L"", true},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.textFile)
            Route("kavro_free.msi", "this is not a Windows Installer package");
        else
            RouteFile("kavro_free.msi", c.source);
        boxes_.clear();
        InstallEngine engine;
        const RunResult run = Run(engine);
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(run.finalState, kStateFailed);
        EXPECT_EQ(engine.ErrorKind(), 0);
        for (const auto& box : boxes_) EXPECT_EQ(box.caption, L"KAVRO Free") << "only Windows Installer's own texts";
        if (!c.textFile) {
            // Windows Installer tells why, through our handler or (under Wine) by itself.
            bool told = false;
            for (const auto& box : boxes_) told |= box.text.find(L"does not install") != std::wstring::npos;
            for (const auto& text : dialogs_.Texts()) told |= text.find(L"does not install") != std::wstring::npos;
            EXPECT_TRUE(told);
        }
        EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"exe"));
    }
    EXPECT_FALSE(test::IsProductInstalled(test::kFailingProduct));
}

TEST_F(EngineScenario, GermanInstallationRecordsTheLanguage) {
    // A transform Windows Installer accepts (it changes nothing: the package
    // has no German texts). Wine's Windows Installer would not miss an absent
    // transform, so where it is stored is checked too.
    InstallerContext& c = TheContext();
    c.language.SetLanguageId(1031);
    const std::wstring source = root_ + L"\\de source.mst";
    ASSERT_TRUE(WriteEmptyTransform(source));
    c.manifest.transforms.push_back({1031, L"de.mst", RouteFile("de.mst", source)});
    c.manifest.languagePacks.push_back(
        {1031, L"kavro-de", L"Deutsch", RouteFile("lp1031.exe", test::BuildPath(L"langpack_recorder_helper.exe"))});

    InstallEngine engine;
    const RunResult run = Run(engine);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.finalState, kStateFinished);
    ExpectNeverGoesDown(run);
    ASSERT_EQ(engine.Plan().size(), 3u);
    EXPECT_EQ(engine.Plan()[1].localPath, c.transformFolder + L"1031.mst");
    EXPECT_TRUE(Exists(c.transformFolder + L"1031.mst"));
    EXPECT_EQ(engine.Status().InstallWeights(), (std::vector<std::int32_t>{83, 8, 9}));
    const std::wstring line = RecordedCommandLine(L"language_pack_1031.exe");
    EXPECT_EQ(line.substr(line.size() - 3), L" /s") << line;

    const std::wstring folder = installFolder_.substr(0, installFolder_.size() - 1);
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, std::wstring(kProductKey) + L"\\LanguagePacks", L"InitialLangID").value_or(0),
              1031u);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kProductKey, L"ApplicationLanguage").value_or(0), 1031u);
    const std::wstring companion = folder + L"\\ovekAgent2.exe";
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, L"SOFTWARE\\Ovek Systems\\ResourceLangID", companion.c_str()).value_or(L"?"),
              L"1031");
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Ovek Systems\\ResourceLangID", 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueW(key, companion.c_str());
        ::RegCloseKey(key);
    }
}

TEST_F(EngineScenario, PauseHoldsAndCancelDuringDownloadEndsCancelled) {
    TheContext().manifest.mainComponent.fullUrl =
        RouteFile("kavro_free.msi", test::PackagePath(test::kSampleProduct), 8000);
    InstallEngine engine;
    enum { kWaiting, kPaused, kResumed, kCancelled } phase = kWaiting;
    float pausedAt = 0.0f;
    DWORD pausedTick = 0;
    bool heldStill = true;
    const RunResult run = Run(engine, [&](const StatusSnapshot& s) {
        switch (phase) {
        case kWaiting:
            if (s.state == kStateDownloading && s.overallPercent > 5.0f) {
                engine.Pause();
                ::Sleep(300);  // a block already on its way may still land
                pausedAt = engine.TakeStatusSnapshot().overallPercent;
                pausedTick = ::GetTickCount();
                phase = kPaused;
            }
            break;
        case kPaused:
            if (s.overallPercent != pausedAt) heldStill = false;
            if (::GetTickCount() - pausedTick > 1500) {
                engine.Resume();
                phase = kResumed;
            }
            break;
        case kResumed:
            if (s.overallPercent > pausedAt) {
                engine.RequestCancel();
                EXPECT_EQ(engine.TakeStatusSnapshot().statusText, L"Cancelling...");
                phase = kCancelled;
            }
            break;
        case kCancelled: EXPECT_EQ(s.state, kStateCancelling); break;
        }
    });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(phase, kCancelled);
    EXPECT_TRUE(heldStill) << "the download went on while paused";
    EXPECT_EQ(run.finalState, kStateCancelled);
    EXPECT_EQ(run.snapshots.back().statusText, L"Cancelled.");
    EXPECT_TRUE(boxes_.empty());
    EXPECT_FALSE(test::IsProductInstalled(test::kSampleProduct));
}

TEST_F(EngineScenario, CancelDuringVersionCheck) {
    test::HttpRoute slow;
    slow.path = TestPath("version.xml");
    slow.body = VersionDocument();
    slow.delayMs = 1500;
    ASSERT_TRUE(server_->SetRoute(slow));
    InstallEngine engine;
    bool asked = false;
    const RunResult run = Run(engine, [&](const StatusSnapshot& s) {
        if (!asked && s.state == kStateInitializing) {
            engine.RequestCancel();
            asked = true;
        }
    });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.finalState, kStateCancelled);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(RequestsFor("kavro_free.msi"), 0u);
}

TEST_F(EngineScenario, CancelDuringWindowsInstaller) {
    InstallEngine engine;
    bool asked = false;
    const RunResult run = Run(engine, [&](const StatusSnapshot& s) {
        if (!asked && s.state == kStateInstalling) {
            engine.RequestCancel();
            asked = true;
        }
    });
    ASSERT_TRUE(asked);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.finalState, kStateCancelled);
    EXPECT_EQ(engine.LastMsiResult(), static_cast<UINT>(ERROR_INSTALL_USEREXIT));
    EXPECT_FALSE(test::IsProductInstalled(test::kSampleProduct)) << "Windows Installer did not roll back";
    EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"exe"));
}

TEST_F(EngineScenario, CancelAfterTheLastPackageStillEndsCancelled) {
    InstallerContext& c = TheContext();
    c.language.SetLanguageId(1031);
    c.manifest.languagePacks.push_back(
        {1031, L"kavro-de", L"Deutsch", RouteFile("lp1031.exe", test::BuildPath(L"langpack_recorder_helper.exe"))});
    InstallEngine engine;
    bool asked = false;
    const RunResult run = Run(engine, [&](const StatusSnapshot&) {
        // The language pack, the last item, has started: everything else is done.
        if (!asked && !RecordedCommandLine(L"language_pack_1031.exe").empty()) {
            engine.RequestCancel();
            asked = true;
        }
    });
    ASSERT_TRUE(asked);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.finalState, kStateCancelled);
    EXPECT_TRUE(boxes_.empty());
    // The work was done all the same.
    EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
    EXPECT_TRUE(ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"exe"));
    const std::wstring companion = installFolder_ + L"ovekAgent2.exe";
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Ovek Systems\\ResourceLangID", 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueW(key, companion.c_str());
        ::RegCloseKey(key);
    }
}

TEST_F(EngineScenario, DestroyingAPausedEngineDoesNotHang) {
    TheContext().manifest.mainComponent.fullUrl =
        RouteFile("kavro_free.msi", test::PackagePath(test::kSampleProduct), 4000);
    const DWORD start = ::GetTickCount();
    {
        InstallEngine engine;
        Run(engine, [&](const StatusSnapshot& s) {
            if (s.state == kStateDownloading) engine.Pause();
        }, 1500);
    }
    EXPECT_LT(::GetTickCount() - start, 10000u);
    EXPECT_FALSE(test::IsProductInstalled(test::kSampleProduct));
}

TEST_F(EngineScenario, StandaloneInstallsFromTheLocalFolderWithoutRequests) {
    InstallerContext& c = TheContext();
    c.manifest.standalone = 1;
    c.manifest.versionCheckUrl = server_->Url("/never");
    ASSERT_TRUE(::CopyFileW(test::PackagePath(test::kSampleProduct).c_str(), (c.msiFolder + L"kavro_free.msi").c_str(),
                            FALSE));
    server_->ClearRequests();
    InstallEngine engine;
    const RunResult run = Run(engine);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.finalState, kStateFinished);
    ExpectNeverGoesDown(run);
    EXPECT_TRUE(engine.Status().DownloadWeights().empty());
    EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
    EXPECT_TRUE(server_->Requests().empty());
    EXPECT_FALSE(Exists(c.componentFolder + L"version.xml"));
}

TEST_F(EngineScenario, TheEmptyTransformIsOneWindowsInstallerAccepts) {
    const std::wstring transform = root_ + L"\\empty.mst";
    ASSERT_TRUE(WriteEmptyTransform(transform));
    const std::wstring copy = root_ + L"\\copy.msi";
    ASSERT_TRUE(::CopyFileW(test::PackagePath(test::kSampleProduct).c_str(), copy.c_str(), FALSE));
    MSIHANDLE database = 0;
    ASSERT_EQ(::MsiOpenDatabaseW(copy.c_str(), MSIDBOPEN_TRANSACT, &database), static_cast<UINT>(ERROR_SUCCESS));
    EXPECT_EQ(::MsiDatabaseApplyTransformW(database, transform.c_str(), 0), static_cast<UINT>(ERROR_SUCCESS));
    const std::wstring junk = root_ + L"\\junk.mst";
    std::ofstream(std::filesystem::path(junk), std::ios::binary) << "junk";
    EXPECT_NE(::MsiDatabaseApplyTransformW(database, junk.c_str(), 0), static_cast<UINT>(ERROR_SUCCESS));
    ::MsiCloseHandle(database);
}

}  // namespace
}  // namespace ovek::enginetest

namespace ovek::enginetest {
namespace {

TEST_F(EngineScenario, WindowsInstallerHonoursTheCancelAnswer) {
    InstallEngine engine;
    engine.RequestCancel();
    PlanItem item{L"kavro_free.msi", L"", test::PackagePath(test::kSampleProduct), L"", 0};
    EXPECT_FALSE(engine.InstallMsiPackage(item));
    EXPECT_EQ(engine.LastMsiResult(), static_cast<UINT>(ERROR_INSTALL_USEREXIT));  // 1602
    EXPECT_FALSE(test::IsProductInstalled(test::kSampleProduct));
}

}  // namespace
}  // namespace ovek::enginetest
