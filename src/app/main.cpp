#include <windows.h>

#include "app/COvekMasterInstallerApp.h"

// The application object exists before the entry point runs.
static ovek::COvekMasterInstallerApp& theApp = ovek::TheApp();

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    return theApp.Run(instance);
}
