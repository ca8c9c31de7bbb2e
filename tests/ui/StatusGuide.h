#pragma once
// The real wizard opened on the real status panel, in this process, with a
// script that runs every 50 ms inside its modal loop and a time limit that
// ends the wizard (and fails the test) whatever the script does.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ui/CInstallGuide.h"
#include "ui/CStatusPanel.h"

namespace ovek::test {

class StatusGuide : public CInstallGuide {
public:
    std::function<void(StatusGuide&)> onTick;
    UINT startDelayMs = 100;
    UINT pollMs = 200;
    DWORD limitMs = 90000;
    bool timedOut = false;

    CStatusPanel& Status() { return *status_; }
    DWORD Elapsed() const { return ::GetTickCount() - started_; }
    void Close() { ::PostMessageW(Handle(), WM_CLOSE, 0, 0); }

protected:
    std::shared_ptr<CGuidePanel> MakePanel(int key) override {
        std::shared_ptr<CGuidePanel> panel = CInstallGuide::MakePanel(key);
        if (key == kStatusPanel) {
            status_ = std::static_pointer_cast<CStatusPanel>(panel);
            status_->SetTimings(startDelayMs, pollMs);
        }
        return panel;
    }
    bool OnInitDialog() override {
        started_ = ::GetTickCount();
        const bool result = CInstallGuide::OnInitDialog();
        if (CurrentKey() != kStatusPanel) ShowPanel(kStatusPanel);
        ::SetTimer(Handle(), kTick, 50, nullptr);
        return result;
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_TIMER && wp == kTick) {
            if (Elapsed() > limitMs) {
                timedOut = true;
                ::KillTimer(Handle(), kTick);
                EndWizard();
            } else if (onTick && !inTick_) {
                // A script that waits pumps messages: no tick inside a tick.
                inTick_ = true;
                onTick(*this);
                inTick_ = false;
            }
            return 0;
        }
        return CInstallGuide::WindowProc(msg, wp, lp);
    }

private:
    static constexpr UINT_PTR kTick = 4711;
    std::shared_ptr<CStatusPanel> status_;
    DWORD started_ = 0;
    bool inTick_ = false;
};

}  // namespace ovek::test
