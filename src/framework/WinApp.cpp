#include "framework/WinApp.h"

#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>

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
    Gdiplus::GdiplusStartupInput input;
    gdiplusStarted_ = Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) == Gdiplus::Ok;
    return true;
}

void CWinApp::ExitApplication() {
    if (gdiplusStarted_) {
        Gdiplus::GdiplusShutdown(gdiplusToken_);
        gdiplusStarted_ = false;
    }
    mainWindow_ = nullptr;
}

}  // namespace ovek
