#include "ui/CInstallGuide.h"

#include "app/COvekMasterInstallerApp.h"
#include "engine/InstallEngine.h"
#include "engine/RunningProducts.h"
#include "manifest/InstallerContext.h"

namespace ovek {

INT_PTR CInstallGuide::DoModal(HWND owner) {
    // The panels are not built yet. A silent run needs none of them: like the
    // status panel it checks for running copies, installs at once, and ends
    // with the installation.
    if (!TheApp().silent) return IDCANCEL;
    if (!CheckRunningProducts(TheContext().manifest.fullName, owner)) return IDCANCEL;
    InstallEngine engine;
    engine.Start();
    for (;;) {
        ::Sleep(250);
        const std::int32_t state = engine.TakeStatusSnapshot().state;
        if (IsFinalState(state)) return state == kStateFinished ? IDOK : IDCANCEL;
    }
}

}  // namespace ovek
