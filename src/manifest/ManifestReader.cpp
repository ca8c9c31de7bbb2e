// The walk over a loaded manifest document; no file access, so it builds
// and runs natively too.
#include "manifest/ParseManifest.h"

#include "framework/DecimalText.h"
#include "markup/XmlDocument.h"

namespace ovek {
namespace {

// Looks for the next child of that name after the last one found; when there
// is one, stores its text. The position moves on only when it is found.
bool ReadChild(CXmlDocument& document, const wchar_t* name, std::wstring& field) {
    if (!document.FindChildElement(name)) return false;
    document.EnterElement();
    field = document.GetElementText();
    document.LeaveElement();
    return true;
}

bool ReadChildNumber(CXmlDocument& document, const wchar_t* name, int32_t& field) {
    std::wstring text;
    if (!ReadChild(document, name, text)) return false;
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
    if (!ReadChild(document, L"name", manifest.mainComponent.name)) return;
    ReadChild(document, L"executable", manifest.executable);
    ReadChild(document, L"full_url", manifest.mainComponent.fullUrl);
    ReadChild(document, L"patch_url", manifest.mainComponent.patchUrl);
    while (document.FindChildElement(L"transform")) {
        document.EnterElement();  // main position on the transform
        TransformEntry transform;
        if (ReadChildNumber(document, L"lang_id", transform.langId)) {
            ReadChild(document, L"name", transform.name);
            ReadChild(document, L"full_url", transform.fullUrl);
            manifest.transforms.push_back(transform);
        }
        document.LeaveElement();
    }
}

}  // namespace

void ReadManifest(CXmlDocument& document, ProductManifest& manifest) {
    if (!document.FindElement(L"ovekwebinstaller")) return;
    ReadChild(document, L"web_installer_version", manifest.webInstallerVersion);
    ReadChild(document, L"product_code", manifest.productCode);
    ReadChild(document, L"upgrade_code", manifest.upgradeCode);
    if (!document.FindChildElement(L"product")) return;
    document.EnterElement();  // main position on product

    ReadChild(document, L"pid", manifest.pid);
    ReadChild(document, L"full_name", manifest.fullName);
    ReadChild(document, L"short_name", manifest.shortName);
    ReadChild(document, L"registry", manifest.registryKey);
    ReadChild(document, L"prev_registry", manifest.previousRegistryKey);
    std::wstring standalone;
    if (ReadChild(document, L"standalone", standalone)) manifest.standalone = IsTrue(standalone) ? 1 : 0;
    ReadChild(document, L"standalone_version", manifest.standaloneVersion);
    ReadChild(document, L"version_check_url", manifest.versionCheckUrl);

    // Down to product's children, on the last of them read so far: the
    // groups that follow are searched for after it.
    document.EnterElement();
    if (document.FindElement(L"main_component")) ReadMainComponent(document, manifest);

    while (document.FindElement(L"language_pack")) {
        LanguagePackEntry pack;
        if (!ReadChildNumber(document, L"lang_id", pack.langId)) continue;
        ReadChild(document, L"pid", pack.pid);
        ReadChild(document, L"name", pack.name);
        ReadChild(document, L"full_url", pack.fullUrl);
        manifest.languagePacks.push_back(pack);
    }
    while (document.FindElement(L"dependency")) {
        DependencyEntry dependency;
        if (!ReadChild(document, L"name", dependency.name)) continue;
        ReadChild(document, L"full_url", dependency.fullUrl);
        ReadChild(document, L"install_commandline", dependency.installCommandLine);
        manifest.dependencies.push_back(dependency);
    }
}

}  // namespace ovek
