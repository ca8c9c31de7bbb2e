#include "manifest/InstallerContext.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "app/COvekMasterInstallerApp.h"
#include "app/RegistryKey.h"
#include "engine/ProductDetection.h"
#include "framework/DecimalText.h"
#include "manifest/ParseManifest.h"

namespace ovek {
namespace {

constexpr DWORD kModulePathBuffer = 512;

bool Exists(const std::wstring& path) { return !path.empty() && ::PathFileExistsW(path.c_str()); }

// A file standing where a folder belongs does not count: nothing could be
// stored in it.
bool IsFolder(const std::wstring& path) { return !path.empty() && ::PathIsDirectoryW(path.c_str()); }

std::wstring WithoutTrailingBackslash(std::wstring path) {
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

int32_t LanguageCandidate(const std::wstring& requested, int32_t userLanguage) {
    if (!requested.empty()) {
        const int32_t id = ReadDecimal(requested);
        if (id >= 1) return id;
    }
    return userLanguage;
}

int InstallerContext::LoadManifest() {
    exeFolder.clear();
    wchar_t buffer[kModulePathBuffer] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, kModulePathBuffer);
    if (length == 0) return kNoExecutablePath;
    // A path longer than the buffer is used as it was cut.
    return LoadManifestFor(std::wstring(buffer, length < kModulePathBuffer ? length : kModulePathBuffer - 1));
}

int InstallerContext::LoadManifestFor(const std::wstring& executablePath) {
    const size_t slash = executablePath.rfind(L'\\');
    exeFolder = slash == std::wstring::npos ? std::wstring() : executablePath.substr(0, slash);
    if (exeFolder.empty()) return kNoExecutablePath;

    manifestPath = exeFolder + L"\\config\\manifest.xml";
    manifest = ProductManifest{};
    if (!ParseManifest(manifestPath, manifest)) return kManifestUnusable;

    // A manifest named in the registry wins, except over a standalone one.
    if (!manifest.standalone) {
        const ManifestOverride named = ReadRegistryManifestPath();
        if (named.exists) {
            manifestPath = named.path;
            ProductManifest replacement;
            if (!ParseManifest(manifestPath, replacement)) {
                manifest = ProductManifest{};  // a failed load leaves no half-trusted record behind
                return kManifestUnusable;
            }
            manifest = replacement;
        }
    }
    if (!manifest.IsUsable()) return kManifestUnusable;

    ChooseInterfaceLanguage();
    DetectInstalledProduct(*this, TheApp().productInstalled, TheApp().relatedProductInstalled);
    if (!PrepareFolders()) return kFoldersFailed;
    return kLoaded;
}

ManifestOverride InstallerContext::ReadRegistryManifestPath() {
    ManifestOverride named;
    named.path = CRegistryKey(HKEY_CURRENT_USER, reg::kUserProductKey).QueryString(reg::kManifestOverride).value_or(L"");
    named.exists = Exists(named.path);
    return named;
}

void InstallerContext::ChooseInterfaceLanguage() {
    ChooseInterfaceLanguage(TheApp().requestedLanguage, static_cast<int32_t>(::GetUserDefaultUILanguage()));
}

void InstallerContext::ChooseInterfaceLanguage(const std::wstring& requested, int32_t userLanguage) {
    language.SetFolder(exeFolder + L"\\language\\");
    languages.clear();
    languages.push_back({L"English", kEnglishLanguage});
    for (const LanguagePackEntry& pack : manifest.languagePacks)
        languages.push_back({language.LanguageTitle(pack.langId), pack.langId});

    const int32_t candidate = LanguageCandidate(requested, userLanguage);
    for (const LanguageChoice& offered : languages) {
        if (offered.id == candidate) {
            language.SetLanguageId(candidate);
            break;
        }
    }
}

bool InstallerContext::PrepareFolders() {
    componentFolder = exeFolder + L"\\component\\";
    msiFolder = exeFolder + L"\\msi\\";
    transformFolder = exeFolder + L"\\transform\\";

    if (!manifest.standalone) {
        // Start afresh when the last run left nothing behind; a folder with
        // downloads in it stays and is reused.
        const std::wstring folder = WithoutTrailingBackslash(componentFolder);
        if (IsFolder(folder)) ::RemoveDirectoryW(folder.c_str());
        if (!IsFolder(folder) && ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr) != ERROR_SUCCESS)
            return false;
    }
    const std::wstring msi = WithoutTrailingBackslash(msiFolder);
    if (!IsFolder(msi) && !::CreateDirectoryW(msi.c_str(), nullptr)) return false;
    const std::wstring transform = WithoutTrailingBackslash(transformFolder);
    return IsFolder(transform) || ::CreateDirectoryW(transform.c_str(), nullptr);
}

std::wstring InstallerContext::ComponentFilePath(const std::wstring& name) const {
    if (manifest.standalone) return componentFolder + name;
    return componentFolder + DecimalText(static_cast<int32_t>(::GetTickCount())) + name;
}

std::wstring InstallerContext::LanguagePackFilePath(int32_t langId) const {
    return ComponentFilePath(L"language_pack_" + DecimalText(langId) + L".exe");
}

std::wstring InstallerContext::ProductExecutablePath() {
    installFolder = WithoutTrailingBackslash(installFolder);
    return installFolder + L"\\" + manifest.executable;
}

std::wstring InstallerContext::InstalledProductExecutable() const {
    return InstalledProductExecutable(TheApp().productInstalled, TheApp().relatedProductInstalled);
}

std::wstring InstallerContext::InstalledProductExecutable(int productInstalled, int relatedProductInstalled) const {
    if (!productInstalled && !relatedProductInstalled) return {};
    const std::wstring& key = productInstalled ? manifest.registryKey : manifest.previousRegistryKey;
    if (key.empty()) return {};
    std::wstring exe = CRegistryKey(HKEY_LOCAL_MACHINE, key).QueryString(reg::kExe).value_or(L"");
    return Exists(exe) ? exe : std::wstring();
}

InstallerContext& TheContext() {
    static InstallerContext context;
    return context;
}

}  // namespace ovek
