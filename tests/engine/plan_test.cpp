#include <gtest/gtest.h>

#include "app/COvekMasterInstallerApp.h"
#include "engine/InstallEngine.h"
#include "manifest/InstallerContext.h"

namespace ovek {
namespace {

class PlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallerContext& c = TheContext();
        c = InstallerContext();
        c.componentFolder = L"C:\\E\\component\\";
        c.msiFolder = L"C:\\E\\msi\\";
        c.transformFolder = L"C:\\E\\transform\\";
        ProductManifest& m = c.manifest;
        m.registryKey = L"SOFTWARE\\OvekTests\\Plan";  // where an installed product's packs are listed
        m.mainComponent = {L"kavro_free.msi", L"http://127.0.0.1/full.msi", L"http://127.0.0.1/patch.msi"};
        m.dependencies = {{L"webview2.exe", L"http://127.0.0.1/wv.exe", L"/silent /install"},
                          {L"vc_redist.exe", L"http://127.0.0.1/vc.exe", L"/quiet"}};
        m.transforms = {{1036, L"fr.mst", L"http://127.0.0.1/fr.mst"}, {1031, L"de.mst", L"http://127.0.0.1/de.mst"}};
        m.languagePacks = {{1031, L"de", L"Deutsch", L"http://127.0.0.1/de.exe"}};
        TheApp().productInstalled = TheApp().relatedProductInstalled = 0;
    }
    void TearDown() override {
        TheApp().productInstalled = TheApp().relatedProductInstalled = 0;
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\OvekTests\\Plan");
    }
};

TEST_F(PlanTest, EverythingInOrderWithItsWeight) {
    TheContext().language.SetLanguageId(1031);
    InstallEngine engine;
    engine.BuildPlan();
    const auto& plan = engine.Plan();
    ASSERT_EQ(plan.size(), 5u);
    EXPECT_EQ(plan[0].name, L"webview2.exe");
    EXPECT_EQ(plan[0].commandLine, L"/silent /install");
    EXPECT_EQ(plan[0].localPath.rfind(L"C:\\E\\component\\", 0), 0u);
    EXPECT_EQ(plan[0].localPath.substr(plan[0].localPath.size() - 12), L"webview2.exe");
    EXPECT_EQ(plan[1].name, L"vc_redist.exe");
    EXPECT_EQ(plan[2].localPath, L"C:\\E\\msi\\kavro_free.msi");
    EXPECT_EQ(plan[2].url, L"http://127.0.0.1/full.msi");
    EXPECT_TRUE(plan[2].commandLine.empty());
    EXPECT_EQ(plan[3].localPath, L"C:\\E\\transform\\1031.mst");
    EXPECT_EQ(plan[3].url, L"http://127.0.0.1/de.mst");
    EXPECT_EQ(plan[4].commandLine, L"/s");
    EXPECT_EQ(plan[4].localPath.substr(plan[4].localPath.size() - 21), std::wstring(L"language_pack_1031.exe").substr(1));
    for (const auto& item : plan) EXPECT_EQ(item.needsDownload, 1);
    EXPECT_EQ(engine.Status().DownloadWeights(), (std::vector<std::int32_t>{28, 28, 35, 3, 6}));
    EXPECT_EQ(engine.Status().InstallWeights(), (std::vector<std::int32_t>{28, 28, 35, 3, 6}));
}

TEST_F(PlanTest, WhatTheLanguageAndInstalledStateAdd) {
    struct Case {
        const char* name;
        std::int32_t language;
        int productInstalled;
        bool removePack;
        std::vector<std::wstring> names;
        const wchar_t* mainUrl;
    } cases[] = {
        {"English, fresh", 1033, 0, false, {L"webview2.exe", L"vc_redist.exe", L"kavro_free.msi"},
         L"http://127.0.0.1/full.msi"},
        {"French: a transform, no pack", 1036, 0, false,
         {L"webview2.exe", L"vc_redist.exe", L"kavro_free.msi", L"fr.mst"}, L"http://127.0.0.1/full.msi"},
        {"German without its pack", 1031, 0, true,
         {L"webview2.exe", L"vc_redist.exe", L"kavro_free.msi", L"de.mst"}, L"http://127.0.0.1/full.msi"},
        {"installed: the patch package", 1033, 1, false, {L"webview2.exe", L"vc_redist.exe", L"kavro_free.msi"},
         L"http://127.0.0.1/patch.msi"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        TheContext().language.SetLanguageId(c.language);
        TheApp().productInstalled = c.productInstalled;
        if (c.removePack) TheContext().manifest.languagePacks.clear();
        InstallEngine engine;
        engine.BuildPlan();
        std::vector<std::wstring> names;
        for (const auto& item : engine.Plan()) names.push_back(item.name);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(engine.Plan()[2].url, c.mainUrl);
    }
}

TEST_F(PlanTest, StandaloneDownloadsNothing) {
    TheContext().manifest.standalone = 1;
    InstallEngine engine;
    engine.BuildPlan();
    for (const auto& item : engine.Plan()) EXPECT_EQ(item.needsDownload, 0);
    EXPECT_TRUE(engine.Status().DownloadWeights().empty());
    EXPECT_EQ(engine.Status().InstallWeights(), (std::vector<std::int32_t>{30, 30, 40}));
}

TEST(KnownDependencies, NothingCountsAsPresent) {
    for (const wchar_t* name : {L"webview2.exe", L"vc_redist.exe", L"VC_REDIST.EXE", L"other.exe", L""})
        EXPECT_FALSE(IsKnownDependencyPresent(name)) << name;
}

}  // namespace
}  // namespace ovek
