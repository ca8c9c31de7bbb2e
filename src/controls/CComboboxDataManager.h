#pragma once
// Optional per-item icons and named preview pictures of a combo box. The
// installer adds none; the box asks it only whether there are icons.
#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/Gdi.h"

namespace ovek {

class CImageWrapper;

class CComboboxDataManager {
public:
    struct PreviewPicture {
        std::wstring name;
        std::shared_ptr<CImageWrapper> picture;
        SIZE size{};
    };

    CComboboxDataManager() : icons_(17) {}
    CComboboxDataManager(const CComboboxDataManager&) = delete;
    CComboboxDataManager& operator=(const CComboboxDataManager&) = delete;

    // Takes ownership of the icon; replaces (and destroys) one already held.
    void SetIcon(int item, UniqueIcon icon) { icons_[item] = std::move(icon); }
    bool HasIcons() const noexcept { return !icons_.empty(); }
    HICON IconOf(int item) const {
        auto found = icons_.find(item);
        return found == icons_.end() ? nullptr : found->second.get();
    }
    void AddPreview(PreviewPicture preview) { previews_.push_back(std::move(preview)); }
    const std::vector<PreviewPicture>& Previews() const noexcept { return previews_; }

private:
    std::unordered_map<int, UniqueIcon> icons_;
    std::vector<PreviewPicture> previews_;
};

}  // namespace ovek
