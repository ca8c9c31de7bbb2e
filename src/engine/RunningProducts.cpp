#include "engine/RunningProducts.h"

#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "engine/EngineText.h"
#include "framework/MessageBox.h"

namespace ovek {
namespace {

// Owns a BSTR.
class Bstr {
public:
    explicit Bstr(const std::wstring& text) : b_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(b_); }
    BSTR get() const { return b_; }

private:
    BSTR b_;
};

// Owns a VARIANT.
class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    explicit Variant(LONG value) : Variant() {
        v_.vt = VT_I4;
        v_.lVal = value;
    }
    explicit Variant(const std::wstring& text) : Variant() {
        v_.vt = VT_BSTR;
        v_.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&v_); }
    VARIANT* get() { return &v_; }
    VARIANT& ref() { return v_; }

private:
    VARIANT v_;
};

}  // namespace

const std::vector<MonitoredProgram>& MonitoredPrograms() {
    static const std::vector<MonitoredProgram> programs = {
        {L"TesmoKavroFreeInstance_80", L"KAVRO Free Video Editor.exe"},
        {L"TesmoKavroFreeVRInstance_80", L"KAVRO Free Video Recorder.exe"},
    };
    return programs;
}

std::vector<std::wstring> FindRunningPrograms() {
    std::vector<std::wstring> running;
    for (const auto& program : MonitoredPrograms()) {
        UniqueHandle semaphore(::OpenSemaphoreW(SYNCHRONIZE, FALSE, program.semaphoreName));
        if (semaphore) running.emplace_back(program.programName);
    }
    return running;
}

std::wstring RunningProgramsMessage(const std::wstring& introduction, const std::vector<std::wstring>& names) {
    std::wstring block;
    for (const auto& name : names) block += name + L"\r\n";
    return introduction + L"\n\n" + block;
}

bool CheckRunningProducts(const std::wstring& caption, HWND owner) {
    for (;;) {
        const auto running = FindRunningPrograms();
        if (running.empty()) return true;
        const std::wstring text = RunningProgramsMessage(LookUpEngineText(EngineText::CloseRunningApps), running);
        if (ShowMessageBox(owner, text, caption, MB_RETRYCANCEL | MB_ICONWARNING) != IDRETRY) return false;
    }
}

ComPtr<IShellView> FindDesktopShellView() {
    ComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows, windows.put_void())) ||
        !windows)
        return {};
    Variant location(CSIDL_DESKTOP);
    Variant root;
    long hwnd = 0;
    ComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(location.get(), root.get(), SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, desktop.put()) !=
            S_OK ||
        !desktop)
        return {};
    ComPtr<IServiceProvider> services;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.put_void())) || !services) return {};
    ComPtr<IShellBrowser> browser;
    if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())) || !browser)
        return {};
    ComPtr<IShellView> active;
    if (FAILED(browser->QueryActiveShellView(active.put())) || !active) return {};
    ComPtr<IShellView> view;
    if (FAILED(active->QueryInterface(IID_IShellView, view.put_void())) || !view) return {};
    return view;
}

void LaunchAsDesktopUser(const std::wstring& path) {
    ComPtr<IShellView> view = FindDesktopShellView();
    if (!view) return;
    ComPtr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void())) || !background) return;
    ComPtr<IShellFolderViewDual> folderView;
    if (FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void())) || !folderView) return;
    ComPtr<IDispatch> application;
    if (FAILED(folderView->get_Application(application.put())) || !application) return;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(application->QueryInterface(IID_IShellDispatch2, shell.put_void())) || !shell) return;
    Bstr file(path);
    Variant arguments(std::wstring{});
    Variant directory;
    Variant operation;
    Variant show(SW_SHOWNORMAL);
    shell->ShellExecute(file.get(), arguments.ref(), directory.ref(), operation.ref(), show.ref());
}

}  // namespace ovek
