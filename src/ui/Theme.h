#pragma once
// The palette and the fonts every window shares, filled once at start-up
// before the first window and kept until the exit step.
#include <windows.h>

#include "ui/Palette.h"
#include "ui/Scaling.h"

namespace ovek {

struct SharedFonts {
    HFONT tahoma14 = nullptr;            // labels, the language box and its list
    HFONT tahoma14Underlined = nullptr;  // the licence link; measures the labels
    HFONT tahoma18 = nullptr;            // captions of picture buttons
    HFONT arial32Bold = nullptr;         // panel titles
};

void InitThemePalette();
void CreateSharedFonts();
void ReleaseSharedFonts();
// Null handles until CreateSharedFonts has run.
const SharedFonts& Fonts();

// The description every shared font starts from: the given face, height in
// pixels and weight, with the theme's fixed attributes.
LOGFONTW ThemeFontDescription(const wchar_t* face, int height, int weight);

}  // namespace ovek
