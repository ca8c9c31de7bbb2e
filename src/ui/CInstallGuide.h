#pragma once
// The wizard: one skinned top-level window holding the settings, status and
// success panels, of which exactly one is visible. It sizes itself to the
// visible panel, moves on when a panel asks, and lets the visible panel
// decide whether a close request is honoured.
#include <windows.h>

#include <map>
#include <memory>

#include "controls/COvekDialog.h"
#include "framework/Gdi.h"
#include "ui/CGuidePanel.h"

namespace ovek {

class CInstallGuide : public COvekDialog {
public:
    enum PanelKey { kSettingsPanel = 0, kStatusPanel = 1, kSuccessPanel = 2 };

    // Runs the wizard modally; returns when its window has gone.
    INT_PTR DoModal(HWND owner = nullptr);

    bool ShowPanel(int key);
    void FitToPanel();
    int CurrentKey() const { return currentKey_; }
    bool HasPanel(int key) const { return panels_.count(key) != 0; }
    CGuidePanel* Panel(int key) const;
    // Ends the wizard: the window goes and DoModal returns.
    void EndWizard() { End(IDOK); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnInitDialog() override;
    // Enter and Escape end nothing: closing goes through the close rule.
    void OnOK() override {}
    void OnCancel() override {}
    void LayoutClient(const RECT& client) override { LayoutPanels(client); }
    // The panel for a key; tests may offer panels of their own.
    virtual std::shared_ptr<CGuidePanel> MakePanel(int key);

private:
    void LayoutPanels(const RECT& client);
    void HideForSilentRun();

    std::map<int, std::shared_ptr<CGuidePanel>> panels_;
    int currentKey_ = 0;
    UniqueIcon bigIcon_, smallIcon_;
};

}  // namespace ovek
