#pragma once
// After a successful installation: where the product lives and which
// interface language the user chose, for the product and for later runs.
#include <cstdint>
#include <optional>
#include <string>

namespace ovek {

struct RegistrationInput {
    bool productInstalled = false;  // the very same product was re-installed: write nothing
    std::wstring executablePath;    // installation folder, "\", the product's executable
    std::wstring registryKey;       // the manifest's key under HKLM and HKCU
    std::uint32_t languageId = 1033;
};

// The folder of the executable with its trailing backslash; nothing when the
// path has no backslash or only a leading one.
std::optional<std::wstring> InstallDirOf(const std::wstring& executablePath);

// Writes the values; a value that cannot be written is skipped. Always true.
bool RegisterInstallation(const RegistrationInput& input);

}  // namespace ovek
