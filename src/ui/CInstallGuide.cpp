#include "ui/CInstallGuide.h"

namespace ovek {

INT_PTR CInstallGuide::DoModal(HWND) {
    // No panels yet: the wizard closes at once.
    return IDCANCEL;
}

}  // namespace ovek
