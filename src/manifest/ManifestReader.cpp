// The walk over a loaded manifest document; no file access, so it builds
// and runs natively too.
#include "manifest/ParseManifest.h"

#include "framework/DecimalText.h"
#include "markup/XmlDocument.h"
#include "markup/XmlReading.h"

namespace ovek {
namespace {

bool ReadChildNumber(CXmlDocument& document, const wchar_t* name, int32_t& field) {
    std::wstring text;
    if (!ReadChildText(document, name, text)) return false;
    field = ReadDecimal(text);
    return true;
}

bool IsTrue(const std::wstring& text) {
    static constexpr wchar_t kTrue[] = L"true";
    if (text.size() != 4) return false;
    for (size_t i = 0; i < 4; ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != kTrue[i]) return false;
    }
    return true;
}

// Main position on main_component.
void ReadMainComponent(CXmlDocument& document, ProductManifest& manifest) {
    if (!ReadChildText(document, L"name", manifest.mainComponent.name)) return;
    ReadChildText(document, L"executable", manifest.executable);
    ReadChildText(document, L"full_url", manifest.mainComponent.fullUrl);
    ReadChildText(document, L"patch_url", manifest.mainComponent.patchUrl);
    while (document.FindChildElement(L"transform")) {
        document.EnterElement();  // main position on the transform
        TransformEntry transform;
        if (ReadChildNumber(document, L"lang_id", transform.langId)) {
            ReadChildText(document, L"name", transform.name);
            ReadChildText(document, L"full_url", transform.fullUrl);
            manifest.transforms.push_back(transform);
        }
        document.LeaveElement();
    }
}

}  // namespace

void ReadManifest(CXmlDocument& document, ProductManifest& manifest) {
    if (!document.FindElement(L"ovekwebinstaller")) return;
    ReadChildText(document, L"web_installer_version", manifest.webInstallerVersion);
    ReadChildText(document, L"product_code", manifest.productCode);
    ReadChildText(document, L"upgrade_code", manifest.upgradeCode);
    if (!document.FindChildElement(L"product")) return;
    document.EnterElement();  // main position on product

    ReadChildText(document, L"pid", manifest.pid);
    ReadChildText(document, L"full_name", manifest.fullName);
    ReadChildText(document, L"short_name", manifest.shortName);
    ReadChildText(document, L"registry", manifest.registryKey);
    ReadChildText(document, L"prev_registry", manifest.previousRegistryKey);
    std::wstring standalone;
    if (ReadChildText(document, L"standalone", standalone)) manifest.standalone = IsTrue(standalone) ? 1 : 0;
    ReadChildText(document, L"standalone_version", manifest.standaloneVersion);
    ReadChildText(document, L"version_check_url", manifest.versionCheckUrl);

    // Down to product's children, on the last of them read so far: the
    // groups that follow are searched for after it.
    document.EnterElement();
    if (document.FindElement(L"main_component")) ReadMainComponent(document, manifest);

    while (document.FindElement(L"language_pack")) {
        LanguagePackEntry pack;
        if (!ReadChildNumber(document, L"lang_id", pack.langId)) continue;
        ReadChildText(document, L"pid", pack.pid);
        ReadChildText(document, L"name", pack.name);
        ReadChildText(document, L"full_url", pack.fullUrl);
        manifest.languagePacks.push_back(pack);
    }
    while (document.FindElement(L"dependency")) {
        DependencyEntry dependency;
        if (!ReadChildText(document, L"name", dependency.name)) continue;
        ReadChildText(document, L"full_url", dependency.fullUrl);
        ReadChildText(document, L"install_commandline", dependency.installCommandLine);
        manifest.dependencies.push_back(dependency);
    }
}

}  // namespace ovek
