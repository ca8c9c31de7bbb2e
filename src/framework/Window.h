#pragma once
// The core of our window framework: a C++ object bound to one window.
//
// The object is bound before the window's first message of consequence and
// stays bound until WM_NCDESTROY: for windows of our own classes through the
// creation parameter, for dialogs through a creation hook, for controls of a
// template by subclassing them by id. Each class has one dispatch, the
// virtual WindowProc; what it does not handle goes to DefaultProc. A handler
// may destroy its own window: the object is released from the window only
// when the outermost message of that window has returned.
#include <windows.h>

namespace ovek {

class CWindow {
public:
    CWindow() = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;
    // Lets go of a window still bound; a window made by Create goes with it.
    virtual ~CWindow();

    HWND Handle() const noexcept { return hwnd_; }
    explicit operator bool() const noexcept { return hwnd_ != nullptr; }
    // The object bound to a window, or null.
    static CWindow* FromHandle(HWND hwnd);

    // Binds an existing window (a control made by a template) to this object
    // by replacing its window procedure. False when hwnd is null or bound.
    bool Subclass(HWND hwnd);
    bool SubclassDlgItem(HWND dialog, int id) { return Subclass(::GetDlgItem(dialog, id)); }
    // Gives the window back its own procedure; false when something else has
    // replaced ours since, in which case the binding stays.
    bool Unsubclass();

    // Registers (once per name) a window class whose windows bind to the
    // object passed to Create.
    static ATOM RegisterClass(const wchar_t* className, UINT classStyle = CS_HREDRAW | CS_VREDRAW,
                              HCURSOR cursor = nullptr, HBRUSH background = nullptr);
    // Creates a window of a class registered with RegisterClass, bound to this.
    HWND Create(const wchar_t* className, HWND parent, const wchar_t* text, DWORD style,
                DWORD exStyle, int x, int y, int width, int height, UINT_PTR idOrMenu = 0);

protected:
    // The one dispatch of the class. The default passes everything on.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return DefaultProc(msg, wp, lp); }
    // What the window would do without this object.
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called once the window is gone and its last message has returned; the
    // object may delete itself here.
    virtual void OnFinalMessage() {}
    // True from WM_NCDESTROY until the object is released from the window.
    bool Destroyed() const noexcept { return destroyed_; }

    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK StartWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Binds this object to hwnd whose current procedure is `previous`.
    void Attach(HWND hwnd, WNDPROC previous);

private:
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void Detach();

    HWND hwnd_ = nullptr;
    WNDPROC previous_ = nullptr;
    int depth_ = 0;
    bool destroyed_ = false;
    bool owned_ = false;
};

// A dialog from a template: modal (DoModal) or a child inside a parent
// (Create). Every message goes through WindowProc like any other window;
// WM_INITDIALOG becomes OnInitDialog, Enter and Escape become OnOK and
// OnCancel, which end a modal dialog and do nothing in a child.
class CDialog : public CWindow {
public:
    // A template by resource id from `module` (null: the program itself) or
    // one built in memory.
    INT_PTR DoModal(HWND owner, UINT templateId, HINSTANCE module = nullptr);
    INT_PTR DoModal(HWND owner, const DLGTEMPLATE* dialogTemplate);
    HWND Create(HWND parent, UINT templateId, HINSTANCE module = nullptr);
    HWND Create(HWND parent, const DLGTEMPLATE* dialogTemplate);
    // Ends a modal dialog with `result`; destroys a child dialog.
    void End(INT_PTR result);
    bool IsModal() const noexcept { return modal_; }
    // Keeps the window hidden even when the modal loop shows it on its first
    // idle moment, as it does for every dialog (silent runs have no window).
    void StayHidden(bool on) noexcept { stayHidden_ = on; }

    ~CDialog() override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // True to let the dialog manager give the first control the focus.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { if (modal_) End(IDOK); }
    virtual void OnCancel() { if (modal_) End(IDCANCEL); }
    // Commands other than IDOK and IDCANCEL; true when handled.
    virtual bool OnCommand(int id, int notification, HWND control) { (void)id, (void)notification, (void)control; return false; }

private:
    friend struct DialogCreation;
    bool modal_ = false;
    bool stayHidden_ = false;
};

}  // namespace ovek
