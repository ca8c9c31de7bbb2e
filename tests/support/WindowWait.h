#pragma once
// Waiting for windows without fixed sleeps: every wait pumps this thread's
// messages, polls its condition and gives up at its time limit.
#include <windows.h>

#include <functional>

#include "support/WindowCapture.h"

namespace ovek::test {

// Dispatches every message waiting for this thread.
void PumpMessages();

// True as soon as `condition` holds; false when timeoutMs passed first.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// The window and its children are visible and have nothing left to paint.
bool WaitForPaint(HWND window, DWORD timeoutMs);

// Captures the window until `accept` likes what the screen shows (painting
// reaches the display a little after WM_PAINT ends); the last capture is
// left in `shot` either way.
bool WaitForCapture(HWND window, const std::function<bool(const PixelBuffer&)>& accept,
                    PixelBuffer& shot, DWORD timeoutMs);

}  // namespace ovek::test
