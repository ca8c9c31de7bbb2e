#pragma once
// The last page: the product is ready to start. Start Now opens the
// product's home page once and starts the product half a second later;
// closing the window opens the home page too but starts nothing.
#include <windows.h>

#include <string>

#include "controls/COvekButton.h"
#include "controls/COvekStatic.h"
#include "controls/COvekTextButton.h"
#include "framework/Gdi.h"
#include "ui/CGuidePanel.h"

namespace ovek {

class CSuccessPanel : public CGuidePanel {
public:
    static constexpr UINT_PTR kLaunchTimer = 1125;
    static constexpr UINT kLaunchDelayMs = 500;

    void DrawContent(CMemorySurface& surface) override;
    void LayoutControls(const RECT& rect) override;
    void OnPanelShown() override { ApplyTexts(); }
    void ApplyTexts() override;
    // Never refused; the home page opens, the product does not start.
    bool CanClose() override;

    bool HomePageOpened() const { return homePageOpened_ != 0; }

protected:
    bool OnInitDialog() override;
    // Start Now is the panel's OK button.
    void OnOK() override { StartNow(); }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // The shell's "open" of an address, and the product's start with the
    // desktop user's rights; tests watch these.
    virtual void OpenAddress(const std::wstring& url);
    virtual void LaunchProduct(const std::wstring& path);

private:
    void StartNow();
    void OpenHomePage();
    void LaunchAndEnd();
    std::wstring TitleText() const;

    COvekTextButton startNow_;
    COvekButton launchCheck_;
    COvekStatic launchLabel_;
    int homePageOpened_ = 0;
};

}  // namespace ovek
