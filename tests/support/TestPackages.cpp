#include "support/TestPackages.h"

#include <msi.h>

#include "support/TestSupport.h"

namespace ovek::test {

std::wstring PackagePath(const TestPackage& package) { return BuildPath(std::wstring(L"packages\\") + package.file); }

UINT InstallPackage(const TestPackage& package, const std::wstring& properties) {
    ::MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    return ::MsiInstallProductW(PackagePath(package).c_str(), properties.c_str());
}

bool IsProductInstalled(const TestPackage& package) {
    return ::MsiQueryProductStateW(package.productCode) == INSTALLSTATE_DEFAULT;
}

UINT RemoveProduct(const TestPackage& package) {
    if (!IsProductInstalled(package)) return ERROR_SUCCESS;
    ::MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    return ::MsiConfigureProductW(package.productCode, INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT);
}

void RemoveAllTestProducts() {
    for (const TestPackage* package : kAllTestPackages) RemoveProduct(*package);
}

}  // namespace ovek::test
