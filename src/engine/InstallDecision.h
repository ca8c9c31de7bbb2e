#pragma once
// What is installed, how versions compare, and whether an installation may
// go ahead. Platform-free: the Windows Installer queries live in
// ProductDetection.h.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "manifest/ProductManifest.h"

namespace ovek {

// What Windows Installer reports about an installed product; all empty when
// nothing was found.
struct InstalledProduct {
    std::wstring version;   // VersionString
    std::wstring name;      // InstalledProductName
    std::wstring location;  // InstallLocation

    bool Found() const { return !version.empty() || !name.empty(); }
};

enum class InstallDecision : int {
    Proceed = 0,
    AlreadyInstalled = 1,
    ClientTooOld = 2,
    NothingRecorded = 3,
    AnotherVersionInstalled = 6,
};

using VersionNumbers = std::array<uint32_t, 4>;

// Four dotted numbers; anything else (three parts, fewer than 7 characters)
// reads as 0.0.0.0. Runs of dots count as one separator.
VersionNumbers ParseVersion(std::wstring_view text);
// Compares the first, second and fourth numbers; the third takes no part.
bool IsNewerVersion(std::wstring_view a, std::wstring_view b);

// Names compare without regard to letter case.
bool SameProductName(std::wstring_view a, std::wstring_view b);

// The decision on the manifest (with the version document's fields), the
// installed record, and whether the product or a related one is installed.
InstallDecision DecideInstall(const ProductManifest& manifest, const InstalledProduct& installed,
                              bool productOrRelatedInstalled);

}  // namespace ovek
