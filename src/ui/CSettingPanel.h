#pragma once
// The first page: licence acceptance, interface language and installation
// folder. Install moves on once the folder exists (it is created level by
// level when it does not).
#include <windows.h>

#include <string>

#include "controls/COvekButton.h"
#include "controls/COvekComboBox.h"
#include "controls/COvekEdit.h"
#include "controls/COvekStatic.h"
#include "controls/COvekTextButton.h"
#include "framework/Handles.h"
#include "ui/CGuidePanel.h"
#include "ui/SettingPanelRules.h"

namespace ovek {

class CSettingPanel : public CGuidePanel {
public:
    void DrawContent(CMemorySurface& surface) override;
    void LayoutControls(const RECT& rect) override;
    SIZE GetPanelSize() override;
    void OnPanelShown() override { ApplyTexts(); }
    void ApplyTexts() override;
    bool CanClose() override;

    // Validates and creates the folder in the field; true when the wizard
    // may go on (the folder is then the installation folder).
    bool CheckInstall();

    bool Accepted() const { return accepted_ != 0; }
    bool Collapsed() const { return collapsed_ != 0; }
    const settings::SettingsLayout& Layout() const { return layout_; }
    POINT SeparatorStart() const { return separator_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // The folder picker's answer: the chosen folder, or empty when the user
    // cancelled. Tests replace it; the real one is modal.
    virtual std::wstring PickFolder(const std::wstring& initial);

private:
    void SetUpControls();
    void FillLanguages();
    void UpdateAcceptance();
    void UpdateExpander();
    void ToggleSection();
    void ChooseLanguage();
    void Browse();
    void RefuseFolder(const std::wstring& folder);
    void PlaceWindow(HWND control, const settings::Box& box, int extraHeight = 0);

    COvekTextButton install_;
    COvekButton check_, expander_, browse_;
    COvekStatic acceptLabel_, link_, heading_, languageLabel_, folderLabel_;
    COvekComboBox language_;
    COvekEdit folder_;

    int accepted_ = 1;
    int collapsed_ = 0;
    POINT separator_{0, 0};
    settings::SettingsLayout layout_;
    UniqueIcon icon_;
};

}  // namespace ovek
