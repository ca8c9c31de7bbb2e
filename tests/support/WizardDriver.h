#pragma once
// Drives the installer's wizard in another process through its real windows:
// finds the wizard by its window class, tells its pages apart by the
// controls they hold, presses controls with mouse messages at their centre
// and answers the process's message boxes by pressing their buttons. Every
// wait has a time limit.
#include <windows.h>

#include <string>

namespace ovek::test {

enum class WizardPage { None, Settings, Status, Success };
const char* PageName(WizardPage page);

// A message box of the installer: its window, caption and text.
struct MessageBoxWindow {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};

class WizardDriver {
public:
    explicit WizardDriver(DWORD processId) : processId_(processId) {}

    // The wizard's top-level window, or null while there is none.
    HWND Wizard() const;
    bool WaitForWizard(DWORD timeoutMs);
    // True once the wizard window has gone (or never existed).
    bool WaitForWizardGone(DWORD timeoutMs);

    // The page whose panel is visible now (None without a visible wizard).
    WizardPage Page() const;
    bool WaitForPage(WizardPage page, DWORD timeoutMs);
    // The visible panel's window.
    HWND PagePanel() const;

    // A control of the visible panel by id; null when there is none.
    HWND Control(int id) const;
    std::wstring Text(int id) const;
    bool Enabled(int id) const;
    // Replaces an edit's text the way typing would leave it.
    bool SetText(int id, const std::wstring& text);
    // A press and release of the left button at the control's centre.
    bool Click(int id);
    // Asks the wizard to close, as its close button does.
    void Close();
    RECT WindowRect() const;

    // The first visible message box of the process, if any.
    MessageBoxWindow FindMessageBox() const;
    // Waits for a message box; its window is null when none came in time.
    MessageBoxWindow WaitForMessageBox(DWORD timeoutMs);
    // Waits for a message box and presses its button `buttonId` (IDYES,
    // IDNO, IDOK, IDRETRY, IDCANCEL...). Returns the box it answered, with a
    // null window when none came or it has no such button.
    MessageBoxWindow AnswerMessageBox(int buttonId, DWORD timeoutMs);

    DWORD ProcessId() const { return processId_; }

private:
    DWORD processId_;
};

}  // namespace ovek::test
