#include "i18n/LanguageResources.h"
#include "framework/DecimalText.h"

#include <windows.h>
#include <shlwapi.h>

#include "framework/Handles.h"
#include "i18n/SlideScale.h"

namespace ovek {
namespace {

constexpr DWORD kValueBuffer = 260;  // at most 259 characters of a value

std::wstring ReadProfileString(const wchar_t* section, const wchar_t* key, const std::wstring& fallback,
                               const std::wstring& file) {
    wchar_t buffer[kValueBuffer] = {};
    DWORD length = ::GetPrivateProfileStringW(section, key, fallback.c_str(), buffer, kValueBuffer, file.c_str());
    if (length >= kValueBuffer) length = kValueBuffer - 1;
    return std::wstring(buffer, length);
}

}  // namespace

std::wstring LanguageResources::StringFilePath(int32_t id) const {
    return folder_ + DecimalText(id) + L"\\string.ini";
}

// Before a folder is set there is nothing to read: a relative path would be
// looked for in the current folder and, by the profile reader, in Windows'.
std::wstring LanguageResources::LanguageTitle(int32_t id) const {
    const std::wstring fallback = DecimalText(id);
    const std::wstring path = StringFilePath(id);
    if (folder_.empty() || !::PathFileExistsW(path.c_str())) return fallback;
    return ReadProfileString(L"LANGUAGE", L"Title", fallback, path);
}

std::wstring LanguageResources::Lookup(const wchar_t* section, const UiTextEntry& entry) const {
    const std::wstring path = StringFilePath(languageId_);
    if (folder_.empty() || !::PathFileExistsW(path.c_str())) return entry.text;
    return ReadProfileString(section, entry.key, entry.text, path);
}

std::wstring LanguageResources::LookUpText(const UiTextEntry& entry) const { return Lookup(L"UISTRING", entry); }

std::wstring LanguageResources::LookUpLink(const UiTextEntry& entry) const { return Lookup(L"RLINK", entry); }

std::vector<std::wstring> LanguageResources::SlidePaths() {
    if (!slides_.empty()) return slides_;
    return SlidePaths(ScreenSnappedResolution());
}

std::vector<std::wstring> LanguageResources::SlidePaths(int snappedResolution) {
    if (!slides_.empty() || folder_.empty()) return slides_;
    const std::wstring folder = folder_ + DecimalText(languageId_) + L"\\slides\\" +
                                DecimalText(SlideScale(snappedResolution)) + L"\\";
    const std::wstring pattern = folder + L"*.jpg";
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return slides_;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::wstring path = folder + data.cFileName;
        // Later readers use fixed path buffers: a path that does not fit is left out.
        if (path.size() >= MAX_PATH) continue;
        slides_.push_back(std::move(path));
    } while (::FindNextFileW(find.get(), &data));
    return slides_;
}

int ScreenSnappedResolution() { return SnappedDpi(); }

}  // namespace ovek
