#pragma once
// The per-language resource folders beside the installer: a folder per
// language identifier holding "string.ini" (language title, interface texts,
// links) and the slides at four scales. Nothing read from the folders is
// cached except the slide list, which is built once and then kept, so the
// slideshow does not change under the user.
#include <cstdint>
#include <string>
#include <vector>

#include "i18n/UiStrings.h"

namespace ovek {

inline constexpr int32_t kEnglishLanguage = 1033;

class LanguageResources {
public:
    int32_t LanguageId() const { return languageId_; }
    void SetLanguageId(int32_t id) { languageId_ = id; }
    // The folder that holds the language folders, ending in a backslash.
    const std::wstring& Folder() const { return folder_; }
    void SetFolder(const std::wstring& folder) { folder_ = folder; }

    // Display name of any language: "Title" of its string.ini, else the
    // identifier in decimal.
    std::wstring LanguageTitle(int32_t id) const;
    // Text or link of an entry in the current language, else its default.
    // At most 259 characters of a translation are used.
    std::wstring LookUpText(const UiTextEntry& entry) const;
    std::wstring LookUpLink(const UiTextEntry& entry) const;

    // Slides of the current language at the screen's scale. The first call
    // that finds any picture fixes the list for the object's life.
    std::vector<std::wstring> SlidePaths();
    std::vector<std::wstring> SlidePaths(int snappedResolution);

    // Path of a language's translation file.
    std::wstring StringFilePath(int32_t id) const;

private:
    std::wstring Lookup(const wchar_t* section, const UiTextEntry& entry) const;

    int32_t languageId_ = kEnglishLanguage;
    std::wstring folder_;
    std::vector<std::wstring> slides_;
};

// The screen's resolution snapped to the picture sizes, read once.
int ScreenSnappedResolution();

}  // namespace ovek
