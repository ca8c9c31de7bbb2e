#pragma once
// The only way into the registry. Opening never fails visibly: a key that
// cannot be opened reads as empty and refuses writes with a non-zero code.
#include <windows.h>
#include <optional>
#include <string>
#include <vector>

#include "framework/Handles.h"

namespace ovek {

class CRegistryKey {
public:
    // Creates the key when it is missing (read, set value, create subkey);
    // failing that, opens it for reading only.
    CRegistryKey(HKEY root, const std::wstring& path);
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;
    ~CRegistryKey() { Close(); }

    // The value's data as text whatever its type; nullopt when the key is not
    // open or the value is missing.
    std::optional<std::wstring> QueryString(const std::wstring& name) const;
    // "InitialLangID", or 1033 when it cannot be read.
    DWORD QueryInitialLanguage() const;
    // Win32 error codes; ERROR_CANTWRITE (1013) without a write handle.
    LONG SetString(const std::wstring& name, const std::wstring& text);
    LONG SetDword(const std::wstring& name, DWORD value);
    // Appends the name of every subkey.
    void EnumerateSubkeys(std::vector<std::wstring>& names) const;
    void Close();

    bool CanRead() const { return readHandle() != nullptr; }
    bool CanWrite() const { return static_cast<bool>(writeKey_); }
    const std::wstring& Path() const { return path_; }

private:
    HKEY readHandle() const { return writeKey_ ? writeKey_.get() : readKey_.get(); }

    UniqueHKey readKey_;   // only when the key opened for reading alone
    UniqueHKey writeKey_;  // also serves reads when present
    std::wstring path_;
};

// Every key and value the installer reads or writes.
namespace reg {
inline constexpr wchar_t kUserProductKey[] = L"SOFTWARE\\Ovek Systems\\KAVRO Free";
inline constexpr wchar_t kManifestOverride[] = L"WebInstallerManifest";  // HKCU, user product key
inline constexpr wchar_t kExe[] = L"exe";                                // HKLM, manifest or previous key
inline constexpr wchar_t kInstallDir[] = L"InstallDir";                  // HKLM, manifest key
inline constexpr wchar_t kLanguagePacks[] = L"\\LanguagePacks";          // appended to the manifest key
inline constexpr wchar_t kInitialLangId[] = L"InitialLangID";            // HKLM, ...\LanguagePacks
inline constexpr wchar_t kApplicationLanguage[] = L"ApplicationLanguage";  // HKCU, manifest key
inline constexpr wchar_t kResourceLangKey[] = L"SOFTWARE\\Ovek Systems\\ResourceLangID\\";  // HKCU
inline constexpr wchar_t kResourceLangAgent[] = L"ovekAgent2.exe";  // value: install folder + this
inline constexpr wchar_t kGeoKey[] = L"Control Panel\\International\\Geo";  // HKCU
inline constexpr wchar_t kNation[] = L"Nation";
inline constexpr DWORD kDefaultLanguage = 1033;
}  // namespace reg

}  // namespace ovek
