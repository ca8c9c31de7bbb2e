#include "support/WindowDialogs.h"

#include "support/TestSupport.h"

namespace ovek::test {

UniqueModule LoadInstallerResources() {
    std::wstring exe = BuildPath(L"OvekWebInstaller.exe");
    return UniqueModule(
        ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

const DLGTEMPLATE* FindDialogTemplate(HMODULE module, WORD id) {
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (!found) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

bool RegisterInstallerWindowClass() {
    constexpr wchar_t kName[] = L"OvekMasterInstallerClassName";
    HINSTANCE self = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (::GetClassInfoW(self, kName, &wc)) return true;
    if (!::GetClassInfoW(nullptr, MAKEINTATOM(0x8002), &wc)) return false;
    wc.hInstance = self;
    wc.lpszClassName = kName;
    return ::RegisterClassW(&wc) != 0;
}

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

HWND CreateDialogFromTemplate(HMODULE module, WORD id, HWND parent, DLGPROC proc, LPARAM param) {
    const DLGTEMPLATE* tmpl = FindDialogTemplate(module, id);
    if (!tmpl) return nullptr;
    // The bytes come from the data file; the dialog belongs to this program.
    return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), tmpl, parent, proc ? proc : PlainDialogProc,
                                        param);
}

BaseUnits MeasureBaseUnits(const std::wstring& face, int pointSize) {
    BaseUnits units;
    HDC screen = ::GetDC(nullptr);
    if (!screen) return units;
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(pointSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    UniqueFont font(::CreateFontIndirectW(&lf));
    if (font) {
        HGDIOBJ old = ::SelectObject(screen, font.get());
        TEXTMETRICW tm{};
        SIZE extent{};
        static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        if (::GetTextMetricsW(screen, &tm) && ::GetTextExtentPoint32W(screen, kLetters, 52, &extent)) {
            units.cx = (extent.cx / 26 + 1) / 2;
            units.cy = tm.tmHeight;
        }
        ::SelectObject(screen, old);
    }
    ::ReleaseDC(nullptr, screen);
    return units;
}

SIZE DialogUnitsToPixels(SIZE units, BaseUnits base) {
    return {::MulDiv(units.cx, base.cx, 4), ::MulDiv(units.cy, base.cy, 8)};
}

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace ovek::test
