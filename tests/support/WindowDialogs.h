#pragma once
// Dialog templates straight from the installer's own resources, and the
// dialog base units that turn their dialog units into pixels.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

namespace ovek::test {


// build/OvekWebInstaller.exe loaded for its resources only.
UniqueModule LoadInstallerResources();

// The template's bytes, or nullptr when the module has no such RT_DIALOG.
const DLGTEMPLATE* FindDialogTemplate(HMODULE module, WORD id);

// Registers "OvekMasterInstallerClassName" the way start-up does (a copy of
// the dialog class); true when it is registered afterwards.
bool RegisterInstallerWindowClass();

// A modeless dialog from `module`'s template, owned by this program (so that
// classes this program registered are found). Its procedure answers only
// WM_INITDIALOG unless one is given.
HWND CreateDialogFromTemplate(HMODULE module, WORD id, HWND parent, DLGPROC proc = nullptr,
                              LPARAM param = 0);

struct DestroyWindowTraits {
    using Type = HWND;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::DestroyWindow(h); }
};
using UniqueWindow = ScopedHandle<DestroyWindowTraits>;

// Average character width and height of a font, the way the dialog manager
// measures them: cy = text-metric height, cx = rounded average width of the
// 52 Latin letters.
struct BaseUnits {
    int cx = 0;
    int cy = 0;
};
BaseUnits MeasureBaseUnits(const std::wstring& face, int pointSize);
// Dialog units to pixels, rounded as MapDialogRect does.
SIZE DialogUnitsToPixels(SIZE units, BaseUnits base);
// The screen's horizontal resolution.
int ScreenDpi();

}  // namespace ovek::test
