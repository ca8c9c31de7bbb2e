#pragma once
// The palette and the fonts every window shares.
namespace ovek {
void InitThemePalette();
void CreateSharedFonts();
void ReleaseSharedFonts();
}  // namespace ovek
