#pragma once
// Creates the installer's templates the way the wizard does (the main window
// of its registered class, panels as its children) and reports their sizes.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "support/WindowTesting.h"

namespace ovek::test {

struct TemplateSize {
    WORD id;
    bool panel;      // created as a child of the main window
    SIZE units;      // the template's size in dialog units
};

inline const std::vector<TemplateSize>& InstallerTemplates() {
    static const std::vector<TemplateSize> all = {
        {IDD_INSTALL_GUIDE, false, {523, 262}},   {IDD_SETTINGS_PANEL, true, {427, 284}},
        {IDD_STATUS_PANEL, true, {309, 176}},     {IDD_SUCCESS_PANEL, true, {309, 176}},
        {IDD_CLIENT_VALIDATOR, false, {269, 66}},
    };
    return all;
}

// The main window with every panel inside it, hidden, plus the validation
// dialog: what start-up and the wizard create.
struct InstallerWindows {
    UniqueModule resources;
    UniqueWindow main;
    UniqueWindow validator;
    std::vector<HWND> panels;  // children of main, destroyed with it

    HWND Find(WORD id) const {
        if (id == IDD_INSTALL_GUIDE) return main.get();
        if (id == IDD_CLIENT_VALIDATOR) return validator.get();
        for (size_t i = 0; i < panels.size(); ++i)
            if (InstallerTemplates()[i + 1].id == id) return panels[i];
        return nullptr;
    }
};

inline bool CreateInstallerWindows(InstallerWindows& w) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    w.resources = LoadInstallerResources();
    if (!w.resources || !RegisterInstallerWindowClass()) return false;
    w.main.reset(CreateDialogFromTemplate(w.resources.get(), IDD_INSTALL_GUIDE, nullptr));
    if (!w.main) return false;
    for (WORD id : {IDD_SETTINGS_PANEL, IDD_STATUS_PANEL, IDD_SUCCESS_PANEL}) {
        HWND panel = CreateDialogFromTemplate(w.resources.get(), id, w.main.get());
        if (!panel) return false;
        w.panels.push_back(panel);
    }
    w.validator.reset(CreateDialogFromTemplate(w.resources.get(), IDD_CLIENT_VALIDATOR, nullptr));
    return static_cast<bool>(w.validator);
}

inline SIZE ClientSize(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace ovek::test
