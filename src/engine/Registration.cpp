#include "engine/Registration.h"
#include "framework/DecimalText.h"

#include "app/RegistryKey.h"

namespace ovek {

std::optional<std::wstring> InstallDirOf(const std::wstring& executablePath) {
    const auto slash = executablePath.rfind(L'\\');
    if (slash == std::wstring::npos || slash == 0) return std::nullopt;
    return executablePath.substr(0, slash + 1);
}

bool RegisterInstallation(const RegistrationInput& input) {
    if (input.productInstalled) return true;
    const auto dir = InstallDirOf(input.executablePath);
    if (dir) {
        CRegistryKey key(HKEY_LOCAL_MACHINE, input.registryKey);
        key.SetString(reg::kInstallDir, *dir);
        key.SetString(reg::kExe, input.executablePath);
    }
    if (input.languageId != reg::kDefaultLanguage) {
        const DWORD language = input.languageId;
        {
            CRegistryKey key(HKEY_LOCAL_MACHINE, input.registryKey + reg::kLanguagePacks);
            key.SetDword(reg::kInitialLangId, language);
        }
        {
            CRegistryKey key(HKEY_CURRENT_USER, input.registryKey);
            key.SetDword(reg::kApplicationLanguage, language);
        }
        if (dir) {
            CRegistryKey key(HKEY_CURRENT_USER, reg::kResourceLangKey);
            key.SetString(*dir + reg::kResourceLangAgent, DecimalText(language));
        }
    }
    return true;
}

}  // namespace ovek
