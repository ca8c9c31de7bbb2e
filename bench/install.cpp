// Installs the sample product through the installation engine, downloading
// the version document and the package from the local test server, and
// prints the wall time from Start to "Finished." as its last line.
#include <windows.h>
#include <msi.h>

#include <chrono>
#include <cstdio>

#include "app/COvekMasterInstallerApp.h"
#include "engine/InstallEngine.h"
#include "framework/MessageBox.h"
#include "manifest/InstallerContext.h"
#include "net/InternetSession.h"
#include "support/LocalHttpServer.h"
#include "support/TestPackages.h"
#include "support/TestSupport.h"

using namespace ovek;

int main() {
    test::LocalHttpServer server;
    if (!server.Start()) {
        std::printf("server: %s\n", server.Error().c_str());
        return 1;
    }
    test::HttpRoute version;
    version.path = "/bench/version.xml";
    version.body =
        "<ovekwebinstaller><product_code>{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}</product_code>"
        "<fresh_install><product_version>2.1.0.0</product_version>"
        "<min_web_installer_version>1.0.0.0</min_web_installer_version></fresh_install>"
        "<patch_install><product_version>2.1.0.0</product_version></patch_install></ovekwebinstaller>";
    test::HttpRoute package;
    package.path = "/bench/kavro_free.msi";
    package.file = test::PackagePath(test::kSampleProduct);
    if (!server.SetRoute(version) || !server.SetRoute(package)) return 1;

    const std::wstring root = test::MakeTempFolder(L"bench install");
    InstallerContext& c = TheContext();
    c.exeFolder = root;
    c.componentFolder = root + L"\\component\\";
    c.msiFolder = root + L"\\msi\\";
    c.transformFolder = root + L"\\transform\\";
    for (const auto& f : {c.componentFolder, c.msiFolder, c.transformFolder}) ::CreateDirectoryW(f.c_str(), nullptr);
    c.language.SetFolder(root + L"\\language\\");
    c.installFolder = root + L"\\KAVRO Free\\";
    ::CreateDirectoryW(c.installFolder.c_str(), nullptr);
    ProductManifest& m = c.manifest;
    m.webInstallerVersion = L"1.0.0.1";
    m.productCode = test::kSampleProduct.productCode;
    m.upgradeCode = test::kSampleProduct.upgradeCode;
    m.pid = L"kavro-free";
    m.fullName = m.shortName = L"KAVRO Free";
    m.registryKey = L"SOFTWARE\\OvekBench\\KAVRO Free";
    m.standaloneVersion = L"2.1.0.0";
    m.versionCheckUrl = server.Url(version.path);
    m.mainComponent = {L"kavro_free.msi", server.Url(package.path), L""};
    m.executable = L"KAVRO Free Video Editor.exe";
    test::RemoveProduct(test::kSampleProduct);
    // No person is there to answer: any box counts as OK and is reported.
    int boxes = 0;
    SetMessageBoxHandler([&boxes](const MessageBoxRequest& r) {
        std::printf("message: %ls\n", r.text.c_str());
        ++boxes;
        return IDOK;
    });
    EnsureInternetSession();

    StatusSnapshot last;
    const auto start = std::chrono::steady_clock::now();
    double seconds = 0.0;
    {
        InstallEngine engine;
        engine.Start();
        for (;;) {
            last = engine.TakeStatusSnapshot();
            if (IsFinalState(last.state)) break;
            if (std::chrono::steady_clock::now() - start > std::chrono::minutes(5)) {
                engine.RequestCancel();
                std::printf("timed out\n");
            }
            ::Sleep(5);
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const bool installed = test::IsProductInstalled(test::kSampleProduct);
    std::printf("state: %ls  installed: %s  home page: %ls\n", last.statusText.c_str(), installed ? "yes" : "no",
                c.installHomepageUrl.c_str());
    test::RemoveProduct(test::kSampleProduct);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\OvekBench");
    if (last.state != kStateFinished || !installed) return 1;
    std::printf("install-seconds %.3f\n", seconds);
    return 0;
}
