#pragma once
// The page shown while the product downloads and installs. It owns the
// installation engine, starts it a moment after it is shown, polls its
// status once a second into the bar and the text lines under a slideshow,
// and ends the wizard or moves it on when the engine is done. A close
// request while it runs asks the user, with the engine paused meanwhile.
#include <windows.h>

#include "controls/COvekProgress.h"
#include "controls/COvekSliderShowCtrl.h"
#include "controls/COvekStatic.h"
#include "engine/InstallEngine.h"
#include "ui/CGuidePanel.h"

namespace ovek {

class CStatusPanel : public CGuidePanel {
public:
    static constexpr UINT_PTR kPollTimer = 1124;
    static constexpr UINT_PTR kStartTimer = 1125;
    static constexpr UINT kDefaultStartDelayMs = 3000;
    static constexpr UINT kDefaultPollMs = 1000;

    void LayoutControls(const RECT& rect) override;
    void OnPanelShown() override;
    void ApplyTexts() override;
    bool CanClose() override;

    InstallEngine& Engine() { return engine_; }
    COvekSliderShowCtrl& Slideshow() { return slideshow_; }
    COvekProgress& ProgressBar() { return progress_; }
    const COvekStatic& StatusLabel() const { return statusLabel_; }
    const COvekStatic& TimeLabel() const { return timeLabel_; }
    const COvekStatic& PercentLabel() const { return percentLabel_; }
    // Tests shorten the waits; before the panel is shown.
    void SetTimings(UINT startDelayMs, UINT pollMs) { startDelayMs_ = startDelayMs, pollMs_ = pollMs; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnInitDialog() override;

private:
    void StartInstallation();
    // One look at the engine; false once a final state was handled.
    bool Poll();
    void FinishSucceeded();
    void EndWizard();
    void OpenSlideShowLink();

    InstallEngine engine_;
    COvekSliderShowCtrl slideshow_;
    COvekProgress progress_;
    COvekStatic statusLabel_;
    COvekStatic timeLabel_;
    COvekStatic percentLabel_;
    UINT startDelayMs_ = kDefaultStartDelayMs;
    UINT pollMs_ = kDefaultPollMs;
    bool startScheduled_ = false;
    bool asking_ = false;  // the cancel question is open
};

}  // namespace ovek
