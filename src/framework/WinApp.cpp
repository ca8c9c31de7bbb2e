#include "framework/WinApp.h"

#include <commctrl.h>
#include <objbase.h>

#include "controls/ImageCache.h"

namespace ovek {

CWinApp* CWinApp::current_ = nullptr;

CWinApp::CWinApp() {
    if (!current_) current_ = this;
}

CWinApp::~CWinApp() {
    if (current_ == this) current_ = nullptr;
}

int CWinApp::Run(HINSTANCE instance) {
    instance_ = instance ? instance : ::GetModuleHandleW(nullptr);
    InitInstance();
    return ExitInstance();
}

bool CWinApp::InitApplication() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    // GDI+ starts on demand, when the first picture is decoded.
    return true;
}

void CWinApp::ExitApplication() {
    // Here, not in a static destructor: GDI+ must stop while the process
    // is still whole.
    ShutdownPictureDecoder();
    mainWindow_ = nullptr;
}

}  // namespace ovek
