#pragma once
// The product manifest as the installer holds it: the product's Windows
// Installer identities, its registry keys, where to check for newer versions,
// and the packages to install. A plain value: copied whole when a second
// manifest replaces the first. Platform-free.
#include <cstdint>
#include <string>
#include <vector>

namespace ovek {

// The version document's data for one kind of installation.
struct VersionChannel {
    std::wstring productVersion;
    std::wstring minWebInstallerVersion;
    std::wstring webInstallerDownloadUrl;
};

struct MainComponent {
    std::wstring name;      // file name of the package in the MSI folder
    std::wstring fullUrl;
    std::wstring patchUrl;  // for an installed product; fullUrl when empty
};

struct LanguagePackEntry {
    int32_t langId = 0;
    std::wstring pid;
    std::wstring name;
    std::wstring fullUrl;
};

struct DependencyEntry {
    std::wstring name;
    std::wstring fullUrl;
    std::wstring installCommandLine;
};

struct TransformEntry {
    int32_t langId = 0;
    std::wstring name;
    std::wstring fullUrl;
};

struct ProductManifest {
    std::wstring webInstallerVersion;
    std::wstring productCode;
    std::wstring upgradeCode;
    std::wstring pid;
    std::wstring fullName;
    std::wstring shortName;
    std::wstring registryKey;
    std::wstring previousRegistryKey;
    int32_t standalone = 0;
    std::wstring standaloneVersion;  // the version document overwrites it
    std::wstring versionCheckUrl;
    // Filled from the version document.
    std::wstring serverProductCode;
    VersionChannel freshInstall;
    VersionChannel patchInstall;
    MainComponent mainComponent;
    std::vector<LanguagePackEntry> languagePacks;
    std::vector<DependencyEntry> dependencies;
    std::vector<TransformEntry> transforms;
    std::wstring executable;

    // Without these the installer has nothing it could install or record.
    bool IsUsable() const { return !pid.empty() && !registryKey.empty() && !mainComponent.fullUrl.empty(); }
};

}  // namespace ovek
