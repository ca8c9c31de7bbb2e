#include "support/InstallerWindows.h"

namespace ovek::test {

std::vector<ProcessWindow> TopLevelWindows(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<ProcessWindow> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(window, &pid);
            if (pid != s->processId) return TRUE;
            wchar_t name[64]{};
            ::GetClassNameW(window, name, 64);
            s->found.push_back({window, name, ::IsWindowVisible(window) != FALSE});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<DWORD> CloseInstallerWizard(ChildProcess& child, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    DWORD lastClose = start - 10000;
    while (::GetTickCount() - start < timeoutMs) {
        if (auto code = child.Wait(50)) return code;
        for (const ProcessWindow& w : TopLevelWindows(child.Id())) {
            if (!w.visible) continue;
            if (w.className == L"#32770") {
                const int button = ::GetDlgItem(w.handle, IDYES) ? IDYES : IDOK;
                ::PostMessageW(w.handle, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            } else if (w.className == L"OvekMasterInstallerClassName" && ::GetTickCount() - lastClose > 1000) {
                ::PostMessageW(w.handle, WM_CLOSE, 0, 0);
                lastClose = ::GetTickCount();
            }
        }
    }
    child.Kill();
    return std::nullopt;
}

}  // namespace ovek::test
