#include "ui/Theme.h"

#include <cwchar>

#include "framework/Handles.h"

namespace ovek {
namespace {

ThemePalette g_palette = kDarkPalette;

struct OwnedFonts {
    UniqueFont tahoma14, tahoma14Underlined, tahoma18, arial32Bold;
    SharedFonts view;
};
OwnedFonts& FontStore() {
    static OwnedFonts fonts;
    return fonts;
}

}  // namespace

const ThemePalette& Palette() { return g_palette; }

void InitThemePalette() { g_palette = kDarkPalette; }

const ScreenResolution& Resolution() {
    static const ScreenResolution resolution = [] {
        ScreenResolution r;
        if (HDC screen = ::GetDC(nullptr)) {
            r.dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
            r.dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
            ::ReleaseDC(nullptr, screen);
            if (r.dpiX <= 0 || r.dpiY <= 0) r = ScreenResolution{};
        }
        return r;
    }();
    return resolution;
}

LOGFONTW ThemeFontDescription(const wchar_t* face, int height, int weight) {
    LOGFONTW lf{};
    lf.lfHeight = height;  // positive: a cell height
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_STROKE_PRECIS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

void CreateSharedFonts() {
    OwnedFonts& f = FontStore();
    LOGFONTW lf = ThemeFontDescription(L"Tahoma", ScaleX(14), FW_NORMAL);
    f.tahoma14.reset(::CreateFontIndirectW(&lf));
    lf.lfUnderline = TRUE;
    f.tahoma14Underlined.reset(::CreateFontIndirectW(&lf));
    lf.lfUnderline = FALSE;
    lf.lfHeight = ScaleX(18);
    f.tahoma18.reset(::CreateFontIndirectW(&lf));
    lf = ThemeFontDescription(L"Arial", ScaleX(32), FW_BOLD);
    f.arial32Bold.reset(::CreateFontIndirectW(&lf));
    f.view = {f.tahoma14.get(), f.tahoma14Underlined.get(), f.tahoma18.get(), f.arial32Bold.get()};
}

void ReleaseSharedFonts() {
    OwnedFonts& f = FontStore();
    f.view = {};
    f.tahoma14.reset();
    f.tahoma14Underlined.reset();
    f.tahoma18.reset();
    f.arial32Bold.reset();
}

const SharedFonts& Fonts() { return FontStore().view; }

}  // namespace ovek
