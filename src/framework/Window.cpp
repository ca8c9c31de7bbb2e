#include "framework/Window.h"

#include <utility>

namespace ovek {
namespace {

// The object waiting for the next window this thread creates, and the
// creation hook that binds it (dialogs only).
thread_local CWindow* t_pending = nullptr;
thread_local HHOOK t_hook = nullptr;

INT_PTR CALLBACK NullDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

const DLGTEMPLATE* FindTemplate(UINT id, HINSTANCE module) {
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!found) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

HINSTANCE ModuleOrProgram(HINSTANCE module) { return module ? module : ::GetModuleHandleW(nullptr); }

}  // namespace

// Installs the creation hook for one dialog creation; the hook binds the
// first window made on this thread (the dialog itself) and removes itself.
struct DialogCreation {
    explicit DialogCreation(CDialog* dialog) {
        t_pending = dialog;
        t_hook = ::SetWindowsHookExW(WH_CBT, HookProc, nullptr, ::GetCurrentThreadId());
    }
    ~DialogCreation() {
        if (t_hook) ::UnhookWindowsHookEx(t_hook);
        t_hook = nullptr;
        t_pending = nullptr;
    }
    DialogCreation(const DialogCreation&) = delete;
    DialogCreation& operator=(const DialogCreation&) = delete;

    static LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp) {
        HHOOK hook = t_hook;
        const LRESULT next = ::CallNextHookEx(hook, code, wp, lp);
        if (code == HCBT_CREATEWND && t_pending) {
            CWindow* window = std::exchange(t_pending, nullptr);
            HWND hwnd = reinterpret_cast<HWND>(wp);
            auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
            static_cast<CDialog*>(window)->Attach(hwnd, previous);
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindow::StaticWindowProc));
            ::UnhookWindowsHookEx(hook);
            t_hook = nullptr;
        }
        return next;
    }
};

CWindow::~CWindow() {
    if (!hwnd_ || destroyed_) return;
    // Messages from here on must not reach a half-destroyed object.
    HWND hwnd = hwnd_;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (previous_ != &::DefWindowProcW) Unsubclass();
    hwnd_ = nullptr;
    if (owned_) ::DestroyWindow(hwnd);
}

CWindow* CWindow::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    // Only a window running our procedure holds one of our objects.
    auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (proc != &StaticWindowProc) return nullptr;
    return reinterpret_cast<CWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void CWindow::Attach(HWND hwnd, WNDPROC previous) {
    hwnd_ = hwnd;
    previous_ = previous;
    destroyed_ = false;
    depth_ = 0;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

bool CWindow::Subclass(HWND hwnd) {
    if (!hwnd || hwnd_ || FromHandle(hwnd)) return false;
    auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (!previous) return false;
    Attach(hwnd, previous);
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWindowProc));
    return true;
}

bool CWindow::Unsubclass() {
    if (!hwnd_ || destroyed_) return false;
    auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd_, GWLP_WNDPROC));
    if (current != &StaticWindowProc) return false;
    ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    previous_ = nullptr;
    return true;
}

ATOM CWindow::RegisterClass(const wchar_t* className, UINT classStyle, HCURSOR cursor, HBRUSH background) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (ATOM atom = static_cast<ATOM>(::GetClassInfoExW(instance, className, &existing))) return atom;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = &StaticWindowProc;
    wc.hInstance = instance;
    wc.hCursor = cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return ::RegisterClassExW(&wc);
}

HWND CWindow::Create(const wchar_t* className, HWND parent, const wchar_t* text, DWORD style,
                     DWORD exStyle, int x, int y, int width, int height, UINT_PTR idOrMenu) {
    if (hwnd_) return nullptr;
    t_pending = this;
    HWND hwnd = ::CreateWindowExW(exStyle, className, text, style, x, y, width, height, parent,
                                  reinterpret_cast<HMENU>(idOrMenu), ::GetModuleHandleW(nullptr), this);
    t_pending = nullptr;
    owned_ = hwnd != nullptr;
    return hwnd;
}

LRESULT CALLBACK CWindow::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<CWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self && msg == WM_NCCREATE) {
        // A window of one of our classes: its object comes with the creation
        // parameter (checked against the one this thread is creating).
        auto* created = static_cast<CWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (created && created == t_pending) {
            t_pending = nullptr;
            created->Attach(hwnd, &::DefWindowProcW);
            self = created;
        }
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

LRESULT CWindow::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    ++depth_;
    LRESULT result;
    if (msg == WM_NCDESTROY) {
        // The window's own procedure always sees its last message; the
        // object learns of it through OnFinalMessage.
        result = ::CallWindowProcW(previous_, hwnd_, msg, wp, lp);
        destroyed_ = true;
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    } else {
        result = WindowProc(msg, wp, lp);
    }
    if (--depth_ == 0 && destroyed_) Detach();
    return result;
}

void CWindow::Detach() {
    hwnd_ = nullptr;
    previous_ = nullptr;
    destroyed_ = false;
    OnFinalMessage();  // may delete this: nothing may follow
}

LRESULT CWindow::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (!hwnd_ || destroyed_ || !previous_) return 0;
    return ::CallWindowProcW(previous_, hwnd_, msg, wp, lp);
}

// ---- dialogs ----

CDialog::~CDialog() {
    // A child dialog still on the screen goes with its object.
    if (Handle() && !Destroyed() && !modal_) {
        HWND hwnd = Handle();
        Unsubclass();
        ::DestroyWindow(hwnd);
    }
}

INT_PTR CDialog::DoModal(HWND owner, UINT templateId, HINSTANCE module) {
    module = ModuleOrProgram(module);
    const DLGTEMPLATE* found = FindTemplate(templateId, module);
    if (!found || Handle()) return -1;
    modal_ = true;
    DialogCreation creation(this);
    return ::DialogBoxIndirectParamW(module, found, owner, &NullDialogProc, 0);
}

INT_PTR CDialog::DoModal(HWND owner, const DLGTEMPLATE* dialogTemplate) {
    if (!dialogTemplate || Handle()) return -1;
    modal_ = true;
    DialogCreation creation(this);
    return ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialogTemplate, owner, &NullDialogProc, 0);
}

HWND CDialog::Create(HWND parent, UINT templateId, HINSTANCE module) {
    module = ModuleOrProgram(module);
    const DLGTEMPLATE* found = FindTemplate(templateId, module);
    if (!found || Handle()) return nullptr;
    modal_ = false;
    DialogCreation creation(this);
    return ::CreateDialogIndirectParamW(module, found, parent, &NullDialogProc, 0);
}

HWND CDialog::Create(HWND parent, const DLGTEMPLATE* dialogTemplate) {
    if (!dialogTemplate || Handle()) return nullptr;
    modal_ = false;
    DialogCreation creation(this);
    return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialogTemplate, parent, &NullDialogProc, 0);
}

void CDialog::End(INT_PTR result) {
    if (!Handle() || Destroyed()) return;
    if (modal_)
        ::EndDialog(Handle(), result);
    else
        ::DestroyWindow(Handle());
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        const int notification = HIWORD(wp);
        if (id == IDOK && notification == BN_CLICKED) {
            OnOK();
            return 0;
        }
        if (id == IDCANCEL && notification == BN_CLICKED) {
            OnCancel();
            return 0;
        }
        if (OnCommand(id, notification, reinterpret_cast<HWND>(lp))) return 0;
        break;
    }
    case WM_WINDOWPOSCHANGING:
        if (stayHidden_) reinterpret_cast<WINDOWPOS*>(lp)->flags &= ~SWP_SHOWWINDOW;
        break;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace ovek
