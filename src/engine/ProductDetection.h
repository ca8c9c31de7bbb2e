#pragma once
// Asks Windows Installer what of the product is on this machine, and takes
// over the installed product's folder and interface language.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/InstallDecision.h"

namespace ovek {

class InstallerContext;

// All or nothing: one property that cannot be read (not installed, or a
// value of 260 characters or more) gives an empty record.
InstalledProduct FindInstalledByProductCode(const std::wstring& productCode);
// Only the first related product Windows Installer names is considered.
InstalledProduct FindInstalledByUpgradeCode(const std::wstring& upgradeCode);

// Fills context.installedProduct and sets one of the two flags; the product
// itself wins over a related one. The installed product's folder becomes the
// install folder, and its recorded language (other than English) the
// interface language.
void DetectInstalledProduct(InstallerContext& context, int& productInstalled, int& relatedProductInstalled);
void DetectInstalledProduct();  // the process's context and flags

// Language identifiers of the installed product's language packs, in
// registry order; a subkey name that is not a number gives 0.
std::vector<int32_t> InstalledLanguagePacks(const InstallerContext& context, int productInstalled,
                                            int relatedProductInstalled);
std::vector<int32_t> InstalledLanguagePacks();

// DecideInstall on the process's context and flags.
InstallDecision DecideInstall();

}  // namespace ovek
