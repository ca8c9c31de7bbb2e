// Plays a first installer: the real start-up, with a wizard that opens a
// minimised window of the installer's class and stays until the event
// "OvekTestReleaseFirstInstance" is set.
#include <windows.h>

#include "app/COvekMasterInstallerApp.h"
#include "framework/Handles.h"

namespace {

class FirstInstanceApp : public ovek::COvekMasterInstallerApp {
protected:
    void RunValidation() override {}
    void RunWizard() override {
        ovek::UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, L"OvekTestReleaseFirstInstance"));
        HWND window = ::CreateWindowExW(0, ovek::kMainWindowClassName, L"first", WS_OVERLAPPEDWINDOW | WS_MINIMIZE,
                                        0, 0, 200, 100, nullptr, nullptr, Instance(), nullptr);
        ::ShowWindow(window, SW_SHOWMINNOACTIVE);
        for (;;) {
            HANDLE h = release.get();
            if (::MsgWaitForMultipleObjects(1, &h, FALSE, 30000, QS_ALLINPUT) != WAIT_OBJECT_0 + 1) break;
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        }
        // Tell the test whether a second copy restored us.
        restored_ = !::IsIconic(window);
        ::DestroyWindow(window);
    }

public:
    bool restored_ = false;
};

}  // namespace

int main() {
    FirstInstanceApp app;
    app.Run(::GetModuleHandleW(nullptr));
    return app.restored_ ? 0 : 3;
}
