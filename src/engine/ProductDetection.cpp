#include "engine/ProductDetection.h"

#include <windows.h>
#include <msi.h>

#include "app/COvekMasterInstallerApp.h"
#include "app/RegistryKey.h"
#include "framework/DecimalText.h"
#include "manifest/InstallerContext.h"

namespace ovek {
namespace {

constexpr DWORD kPropertyBuffer = 260;

bool QueryProductProperty(const std::wstring& productCode, const wchar_t* property, std::wstring& value) {
    wchar_t buffer[kPropertyBuffer] = {};
    DWORD length = kPropertyBuffer;
    if (::MsiGetProductInfoW(productCode.c_str(), property, buffer, &length) != ERROR_SUCCESS) return false;
    value.assign(buffer, length < kPropertyBuffer ? length : kPropertyBuffer - 1);
    return true;
}

// The recorded interface language of an installed generation replaces the
// current choice unless it is English.
void TakeOverInitialLanguage(InstallerContext& context, const std::wstring& productKey) {
    if (productKey.empty()) return;  // no key: nothing recorded, and no stray key at the hive's root
    CRegistryKey packs(HKEY_LOCAL_MACHINE, productKey + reg::kLanguagePacks);
    const DWORD language = packs.QueryInitialLanguage();
    if (language != reg::kDefaultLanguage) context.language.SetLanguageId(static_cast<int32_t>(language));
}

}  // namespace

InstalledProduct FindInstalledByProductCode(const std::wstring& productCode) {
    InstalledProduct product;
    if (!QueryProductProperty(productCode, INSTALLPROPERTY_VERSIONSTRING, product.version) ||
        !QueryProductProperty(productCode, INSTALLPROPERTY_INSTALLEDPRODUCTNAME, product.name) ||
        !QueryProductProperty(productCode, INSTALLPROPERTY_INSTALLLOCATION, product.location))
        return {};
    return product;
}

InstalledProduct FindInstalledByUpgradeCode(const std::wstring& upgradeCode) {
    if (upgradeCode.empty()) return {};
    wchar_t productCode[39] = {};  // a GUID in braces and its terminator
    if (::MsiEnumRelatedProductsW(upgradeCode.c_str(), 0, 0, productCode) != ERROR_SUCCESS) return {};
    return FindInstalledByProductCode(productCode);
}

void DetectInstalledProduct(InstallerContext& context, int& productInstalled, int& relatedProductInstalled) {
    const ProductManifest& manifest = context.manifest;
    context.installedProduct = FindInstalledByProductCode(manifest.productCode);
    if (context.installedProduct.Found()) {
        productInstalled = 1;
        context.SetInstallFolder(context.installedProduct.location);
        TakeOverInitialLanguage(context, manifest.registryKey);
        return;
    }
    context.installedProduct = FindInstalledByUpgradeCode(manifest.upgradeCode);
    if (context.installedProduct.Found()) {
        relatedProductInstalled = 1;
        context.SetInstallFolder(context.installedProduct.location);
        TakeOverInitialLanguage(context, manifest.previousRegistryKey);
    }
}

void DetectInstalledProduct() {
    COvekMasterInstallerApp& app = TheApp();
    DetectInstalledProduct(TheContext(), app.productInstalled, app.relatedProductInstalled);
}

std::vector<int32_t> InstalledLanguagePacks(const InstallerContext& context, int productInstalled,
                                            int relatedProductInstalled) {
    std::vector<int32_t> languages;
    if (!productInstalled && !relatedProductInstalled) return languages;
    const std::wstring& key = productInstalled ? context.manifest.registryKey : context.manifest.previousRegistryKey;
    if (key.empty()) return languages;
    std::vector<std::wstring> names;
    CRegistryKey(HKEY_LOCAL_MACHINE, key + reg::kLanguagePacks).EnumerateSubkeys(names);
    for (const std::wstring& name : names) {
        if (!name.empty()) languages.push_back(ReadDecimal(name));
    }
    return languages;
}

std::vector<int32_t> InstalledLanguagePacks() {
    const COvekMasterInstallerApp& app = TheApp();
    return InstalledLanguagePacks(TheContext(), app.productInstalled, app.relatedProductInstalled);
}

InstallDecision DecideInstall() {
    const COvekMasterInstallerApp& app = TheApp();
    const InstallerContext& context = TheContext();
    return DecideInstall(context.manifest, context.installedProduct,
                         app.productInstalled != 0 || app.relatedProductInstalled != 0);
}

}  // namespace ovek
