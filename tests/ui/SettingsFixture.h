#pragma once
// The real settings panel inside a real wizard window, for the panel's tests
// and its resolution helper: the other two pages are empty panels, so that
// Install moves on without starting an installation.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "manifest/InstallerContext.h"
#include "support/TestSupport.h"
#include "support/WindowTesting.h"
#include "ui/CInstallGuide.h"
#include "ui/CSettingPanel.h"

namespace ovek::test {

class TestSettingPanel : public CSettingPanel {
public:
    int picks = 0;
    std::wstring pickerStart;   // what the picker was asked to preselect
    std::wstring pickerAnswer;  // what the "user" chooses (empty: cancel)

    using CSettingPanel::Handle;

protected:
    std::wstring PickFolder(const std::wstring& initial) override {
        ++picks;
        pickerStart = initial;
        return pickerAnswer;
    }
};

class SettingsGuide : public CInstallGuide {
public:
    std::shared_ptr<TestSettingPanel> settings;
    // Runs inside the modal loop once the window is up; the wizard ends after it.
    std::function<void(SettingsGuide&, TestSettingPanel&)> script;
    // False: the script ends the wizard itself; after 10 s the wizard ends
    // anyway, so that a close that goes wrong fails instead of hanging.
    bool endAfterScript = true;

    INT_PTR Run() { return DoModal(); }

protected:
    std::shared_ptr<CGuidePanel> MakePanel(int key) override {
        if (key != kSettingsPanel) return std::make_shared<CGuidePanel>();
        settings = std::make_shared<TestSettingPanel>();
        return settings;
    }
    bool OnInitDialog() override {
        const bool result = CInstallGuide::OnInitDialog();
        ::PostMessageW(Handle(), kRunScript, 0, 0);
        return result;
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kRunScript) {
            ::ShowWindow(Handle(), SW_SHOW);
            if (script && settings) script(*this, *settings);
            if (endAfterScript) EndWizard();
            else ::SetTimer(Handle(), kSafetyTimer, 10000, nullptr);
            return 0;
        }
        if (msg == WM_TIMER && wp == kSafetyTimer) {
            EndWizard();
            return 0;
        }
        return CInstallGuide::WindowProc(msg, wp, lp);
    }

private:
    static constexpr UINT kRunScript = WM_APP + 78;
    static constexpr UINT_PTR kSafetyTimer = 78;
};

// Sets the user's region ("Nation" of HKCU\Control Panel\International\Geo)
// for as long as it lives.
class ScopedNation {
public:
    explicit ScopedNation(const wchar_t* nation) {
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\International\\Geo", 0, nullptr, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr) != ERROR_SUCCESS)
            return;
        wchar_t old[64]{};
        DWORD size = sizeof(old) - sizeof(wchar_t);
        DWORD type = 0;
        hadValue_ = ::RegQueryValueExW(key_, L"Nation", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
                        ERROR_SUCCESS && type == REG_SZ;
        if (hadValue_) old_ = old;
        Set(nation);
    }
    ScopedNation(const ScopedNation&) = delete;
    ScopedNation& operator=(const ScopedNation&) = delete;
    ~ScopedNation() {
        if (!key_) return;
        if (hadValue_) Set(old_.c_str());
        else ::RegDeleteValueW(key_, L"Nation");
        ::RegCloseKey(key_);
    }

private:
    void Set(const wchar_t* value) {
        ::RegSetValueExW(key_, L"Nation", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                         static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    }
    HKEY key_ = nullptr;
    bool hadValue_ = false;
    std::wstring old_;
};

// The sample's English and German, read from the sample's language folders.
inline void UseSampleContext(const std::wstring& installFolder) {
    InstallerContext& c = TheContext();
    c.manifest.fullName = L"KAVRO Free";
    c.manifest.shortName = L"KAVRO";
    c.language.SetFolder(SourcePath(L"sample\\language\\"));
    c.language.SetLanguageId(1033);
    c.languages = {{L"English", 1033}, {c.language.LanguageTitle(1031), 1031}};
    c.installFolder = installFolder;
}

// A real click: the button takes the press and posts its command on release.
inline void Click(HWND control) {
    RECT r{};
    ::GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    ::SendMessageW(control, WM_MOUSEMOVE, 0, at);
    ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(control, WM_LBUTTONUP, 0, at);
    PumpMessages();
}

inline SIZE WindowSize(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return {r.right - r.left, r.bottom - r.top};
}

inline std::wstring TextOf(HWND h) {
    wchar_t text[512]{};
    ::GetWindowTextW(h, text, 512);
    return text;
}

}  // namespace ovek::test
