#include "support/WizardDriver.h"

#include <vector>

#include "support/WindowWait.h"

namespace ovek::test {
namespace {

constexpr wchar_t kWizardClass[] = L"OvekMasterInstallerClassName";

// Controls only one page holds.
constexpr int kSettingsMark = 133;  // Install
constexpr int kStatusMark = 122;    // status line
constexpr int kSuccessMark = 150;   // launch check box

DWORD OwnerProcess(HWND window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    return pid;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64]{};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

struct TopLevelSearch {
    DWORD pid;
    const wchar_t* className;
    bool visibleOnly;
    HWND found = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM lp) {
    auto* search = reinterpret_cast<TopLevelSearch*>(lp);
    if (OwnerProcess(window) != search->pid) return TRUE;
    if (ClassOf(window) != search->className) return TRUE;
    if (search->visibleOnly && !::IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindTopLevelOf(DWORD pid, const wchar_t* className, bool visibleOnly) {
    TopLevelSearch search{pid, className, visibleOnly};
    ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

WizardPage PageOfPanel(HWND panel) {
    if (::GetDlgItem(panel, kSettingsMark)) return WizardPage::Settings;
    if (::GetDlgItem(panel, kStatusMark)) return WizardPage::Status;
    if (::GetDlgItem(panel, kSuccessMark)) return WizardPage::Success;
    return WizardPage::None;
}

}  // namespace

const char* PageName(WizardPage page) {
    switch (page) {
    case WizardPage::Settings: return "settings";
    case WizardPage::Status: return "status";
    case WizardPage::Success: return "success";
    case WizardPage::None: break;
    }
    return "none";
}

HWND WizardDriver::Wizard() const { return FindTopLevelOf(processId_, kWizardClass, false); }

bool WizardDriver::WaitForWizard(DWORD timeoutMs) {
    return WaitUntil([&] { return Wizard() != nullptr; }, timeoutMs);
}

bool WizardDriver::WaitForWizardGone(DWORD timeoutMs) {
    return WaitUntil([&] { return Wizard() == nullptr; }, timeoutMs);
}

HWND WizardDriver::PagePanel() const {
    HWND wizard = Wizard();
    if (!wizard || !::IsWindowVisible(wizard)) return nullptr;
    for (HWND child = ::GetWindow(wizard, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowVisible(child) && PageOfPanel(child) != WizardPage::None) return child;
    }
    return nullptr;
}

WizardPage WizardDriver::Page() const {
    HWND panel = PagePanel();
    return panel ? PageOfPanel(panel) : WizardPage::None;
}

bool WizardDriver::WaitForPage(WizardPage page, DWORD timeoutMs) {
    return WaitUntil([&] { return Page() == page; }, timeoutMs);
}

HWND WizardDriver::Control(int id) const {
    HWND panel = PagePanel();
    return panel ? ::GetDlgItem(panel, id) : nullptr;
}

std::wstring WizardDriver::Text(int id) const {
    HWND control = Control(id);
    return control ? TextOf(control) : std::wstring();
}

bool WizardDriver::Enabled(int id) const {
    HWND control = Control(id);
    return control && ::IsWindowEnabled(control);
}

bool WizardDriver::SetText(int id, const std::wstring& text) {
    HWND control = Control(id);
    if (!control) return false;
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                 5000, &result) != 0;
}

bool WizardDriver::Click(int id) {
    HWND control = Control(id);
    if (!control || !::IsWindowVisible(control)) return false;
    RECT r{};
    ::GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    ::PostMessageW(control, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(control, WM_LBUTTONUP, 0, at);
    return true;
}

void WizardDriver::Close() {
    if (HWND wizard = Wizard()) ::PostMessageW(wizard, WM_SYSCOMMAND, SC_CLOSE, 0);
}

RECT WizardDriver::WindowRect() const {
    RECT r{};
    if (HWND wizard = Wizard()) ::GetWindowRect(wizard, &r);
    return r;
}

MessageBoxWindow WizardDriver::FindMessageBox() const {
    MessageBoxWindow box;
    box.window = FindTopLevelOf(processId_, L"#32770", true);
    if (!box.window) return box;
    box.caption = TextOf(box.window);
    // The message is the box's static text that is not the icon.
    for (HWND child = ::GetWindow(box.window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != L"Static") continue;
        std::wstring text = TextOf(child);
        if (text.size() > box.text.size()) box.text = std::move(text);
    }
    return box;
}

MessageBoxWindow WizardDriver::WaitForMessageBox(DWORD timeoutMs) {
    MessageBoxWindow box;
    WaitUntil(
        [&] {
            box = FindMessageBox();
            return box.window != nullptr;
        },
        timeoutMs);
    return box;
}

MessageBoxWindow WizardDriver::AnswerMessageBox(int buttonId, DWORD timeoutMs) {
    MessageBoxWindow box = WaitForMessageBox(timeoutMs);
    if (!box.window) return box;
    HWND button = ::GetDlgItem(box.window, buttonId);
    if (!button) return MessageBoxWindow{};
    ::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    // Answered once the box has gone, so the next wait sees the next box.
    HWND answered = box.window;
    WaitUntil([&] { return !::IsWindow(answered) || !::IsWindowVisible(answered); }, timeoutMs);
    return box;
}

}  // namespace ovek::test
