#pragma once
// Every message box of the installer goes through here, so that tests can
// answer them instead of waiting for a person.
#include <windows.h>
#include <functional>
#include <string>

namespace ovek {

struct MessageBoxRequest {
    HWND owner;
    std::wstring text;
    std::wstring caption;  // empty: the system's default caption
    UINT flags;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Shows the box (or asks the installed handler) and returns the button pressed.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

// Replaces the handler for all threads; an empty handler restores real boxes.
// Returns the handler it replaced.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace ovek
