#include <windows.h>

#include <cstdlib>

#include "app/COvekMasterInstallerApp.h"

// The C runtime's own entry point, which runs the static constructors and
// then wWinMain. MinGW-w64 gives it one name whatever the character width.
#if defined(_MSC_VER)
#define OVEK_RUNTIME_ENTRY wWinMainCRTStartup
#else
#define OVEK_RUNTIME_ENTRY WinMainCRTStartup
#endif
extern "C" int OVEK_RUNTIME_ENTRY();

// The process's entry point. The installer runs elevated from a downloads
// folder that any web page can drop a DLL into, and Windows would look there
// first for every DLL that is not a known DLL of the system. Those are all
// delay-loaded (cmake/DelayImports.cmake), and from here on every load looks
// in the system folder only: this runs before the runtime, so before any
// static constructor can make the first call into one of them.
extern "C" int OvekEntryPoint() {
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return OVEK_RUNTIME_ENTRY();
}

#if defined(__GLIBCXX__)
// GCC's library ends an uncaught exception in a handler that prints the
// exception's demangled type, and so links its whole demangler (45 KB) into
// a program that has no console to print to. Ours just ends the process.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

// The application object exists before the entry point runs.
static ovek::COvekMasterInstallerApp& theApp = ovek::TheApp();

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    return theApp.Run(instance);
}
