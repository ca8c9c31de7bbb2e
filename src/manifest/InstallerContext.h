#pragma once
// What the installer knows about the product and this machine, gathered at
// start-up and read by every later phase: the manifest, the local folders
// beside the executable, the installed product, the interface language and
// the installation folder.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/InstallDecision.h"
#include "i18n/LanguageResources.h"
#include "manifest/ProductManifest.h"

namespace ovek {

// A language offered in the settings panel.
struct LanguageChoice {
    std::wstring name;
    int32_t id = 0;
};

// The manifest file a user named in the registry.
struct ManifestOverride {
    std::wstring path;
    bool exists = false;  // true when the path is non-empty and something of that name exists
};

// The language to try first: a requested identifier of at least 1, else the
// user's own interface language. Platform-free.
int32_t LanguageCandidate(const std::wstring& requested, int32_t userLanguage);

class InstallerContext {
public:
    enum LoadResult { kLoaded = 0, kManifestUnusable = 1, kFoldersFailed = 2, kNoExecutablePath = 3 };

    // Finds, reads and checks the manifest, detects the installed product,
    // chooses the interface language and prepares the folders beside the
    // running executable.
    int LoadManifest();
    // The same for an executable at the given path (empty: none known).
    int LoadManifestFor(const std::wstring& executablePath);

    static ManifestOverride ReadRegistryManifestPath();
    // Offers English and every language pack, and picks the "/lang" switch's
    // language or the user's when it is offered.
    void ChooseInterfaceLanguage();
    void ChooseInterfaceLanguage(const std::wstring& requested, int32_t userLanguage);
    bool PrepareFolders();

    // Where a package of that name is kept: unique per download unless the
    // installer is standalone and finds its packages there already.
    std::wstring ComponentFilePath(const std::wstring& name) const;
    std::wstring LanguagePackFilePath(int32_t langId) const;
    void SetInstallFolder(const std::wstring& folder) { installFolder = folder; }
    // The product's main program in the install folder (whose trailing
    // backslash it removes).
    std::wstring ProductExecutablePath();
    // The installed generation's recorded program, when it exists.
    std::wstring InstalledProductExecutable() const;
    std::wstring InstalledProductExecutable(int productInstalled, int relatedProductInstalled) const;
    std::vector<LanguageChoice> Languages() const { return languages; }

    std::wstring exeFolder;  // without a trailing backslash
    ProductManifest manifest;
    InstalledProduct installedProduct;
    std::wstring manifestPath;
    std::wstring componentFolder;  // these three end in a backslash
    std::wstring msiFolder;
    std::wstring transformFolder;
    std::wstring installHomepageUrl;
    LanguageResources language;
    std::vector<LanguageChoice> languages;
    std::wstring installFolder = L"C:\\Program Files\\Ovek Systems";
};

InstallerContext& TheContext();

}  // namespace ovek
