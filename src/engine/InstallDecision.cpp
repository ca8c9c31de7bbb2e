#include "engine/InstallDecision.h"

#include <cwctype>
#include <vector>

#include "framework/DecimalText.h"

namespace ovek {

VersionNumbers ParseVersion(std::wstring_view text) {
    VersionNumbers numbers{};
    if (text.size() < 7) return numbers;
    std::vector<std::wstring_view> parts;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == L'.') ++i;
        const size_t start = i;
        while (i < text.size() && text[i] != L'.') ++i;
        if (i > start) parts.push_back(text.substr(start, i - start));
    }
    if (parts.size() != 4) return numbers;
    for (size_t n = 0; n < 4; ++n) numbers[n] = static_cast<uint32_t>(ReadDecimal(parts[n]));
    return numbers;
}

bool IsNewerVersion(std::wstring_view a, std::wstring_view b) {
    const VersionNumbers x = ParseVersion(a);
    const VersionNumbers y = ParseVersion(b);
    for (size_t n : {0u, 1u, 3u}) {
        if (x[n] != y[n]) return x[n] > y[n];
    }
    return false;
}

bool SameProductName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(static_cast<std::wint_t>(a[i])) != std::towlower(static_cast<std::wint_t>(b[i])))
            return false;
    }
    return true;
}

InstallDecision DecideInstall(const ProductManifest& manifest, const InstalledProduct& installed,
                              bool productOrRelatedInstalled) {
    const std::wstring& ownVersion = manifest.webInstallerVersion;
    if (productOrRelatedInstalled) {
        if (installed.version.empty() && installed.name.empty()) return InstallDecision::NothingRecorded;
        if (!SameProductName(installed.name, manifest.fullName)) return InstallDecision::AnotherVersionInstalled;
        if (!IsNewerVersion(manifest.standaloneVersion, installed.version)) return InstallDecision::AlreadyInstalled;
        if (manifest.standalone) return InstallDecision::Proceed;
        if (IsNewerVersion(manifest.patchInstall.minWebInstallerVersion, ownVersion))
            return InstallDecision::ClientTooOld;
        return InstallDecision::Proceed;
    }
    if (manifest.standalone) return InstallDecision::Proceed;
    if (IsNewerVersion(manifest.freshInstall.minWebInstallerVersion, ownVersion)) return InstallDecision::ClientTooOld;
    return InstallDecision::Proceed;
}

}  // namespace ovek
