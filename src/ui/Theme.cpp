#include "ui/Theme.h"

namespace ovek {
// The self-drawn windows that need these arrive later; until then there is
// nothing to create or release.
void InitThemePalette() {}
void CreateSharedFonts() {}
void ReleaseSharedFonts() {}
}  // namespace ovek
