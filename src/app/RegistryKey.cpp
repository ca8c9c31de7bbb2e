#include "app/RegistryKey.h"

namespace ovek {
namespace {
constexpr REGSAM kWriteAccess = 0x2001F;  // read, set value, create subkey
constexpr REGSAM kReadAccess = 0x20019;   // KEY_READ
}  // namespace

CRegistryKey::CRegistryKey(HKEY root, const std::wstring& path) : path_(path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, path_.c_str(), 0, nullptr, 0, kWriteAccess, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        writeKey_.reset(key);
        return;
    }
    key = nullptr;
    if (::RegOpenKeyExW(root, path_.c_str(), 0, kReadAccess, &key) == ERROR_SUCCESS) readKey_.reset(key);
}

std::optional<std::wstring> CRegistryKey::QueryString(const std::wstring& name) const {
    HKEY key = readHandle();
    if (!key) return std::nullopt;
    DWORD size = 0;
    if (::RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    // Room for a terminator the stored data may lack, and for odd byte counts.
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()),
                           &read) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(read / sizeof(wchar_t));
    // The text ends at its first NUL, stored or not.
    if (auto nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
    return text;
}

DWORD CRegistryKey::QueryInitialLanguage() const {
    HKEY key = readHandle();
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!key || ::RegQueryValueExW(key, reg::kInitialLangId, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        size != sizeof(value))
        return reg::kDefaultLanguage;
    return value;
}

LONG CRegistryKey::SetString(const std::wstring& name, const std::wstring& text) {
    if (!writeKey_) return ERROR_CANTWRITE;
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(writeKey_.get(), name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

LONG CRegistryKey::SetDword(const std::wstring& name, DWORD value) {
    if (!writeKey_) return ERROR_CANTWRITE;
    return ::RegSetValueExW(writeKey_.get(), name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

void CRegistryKey::EnumerateSubkeys(std::vector<std::wstring>& names) const {
    HKEY key = readHandle();
    if (!key) return;
    wchar_t name[256];
    for (DWORD index = 0; ::RegEnumKeyW(key, index, name, 256) == ERROR_SUCCESS; ++index)
        names.emplace_back(name);
}

void CRegistryKey::Close() {
    readKey_.reset();
    writeKey_.reset();
}

}  // namespace ovek
