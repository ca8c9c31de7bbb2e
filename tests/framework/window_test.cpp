// The window framework's binding and dispatch, with real windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/DialogTemplate.h"
#include "framework/Window.h"

namespace ovek {
namespace {

constexpr UINT kDestroySelf = WM_APP + 1;
constexpr UINT kEndWith = WM_APP + 2;

class RecordingWindow : public CWindow {
public:
    std::vector<std::string> events;
    bool sawNcCreate = false;
    int finalMessages = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_NCCREATE) sawNcCreate = true;
        if (msg == kDestroySelf) {
            events.push_back("destroying");
            ::DestroyWindow(Handle());
            // Still a live object after its window has gone.
            events.push_back(Destroyed() ? "destroyed, handler goes on" : "not destroyed");
            return 7;
        }
        return DefaultProc(msg, wp, lp);
    }
    void OnFinalMessage() override {
        ++finalMessages;
        events.push_back("final");
    }
};

TEST(Window, IsBoundFromItsFirstMessageUntilItsLast) {
    ASSERT_NE(CWindow::RegisterClass(L"OvekTestWindow"), 0);
    RecordingWindow window;
    HWND hwnd = window.Create(L"OvekTestWindow", nullptr, L"t", WS_OVERLAPPEDWINDOW, 0, 0, 0, 100, 80);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(window.sawNcCreate);
    EXPECT_EQ(CWindow::FromHandle(hwnd), &window);

    // A handler that destroys its own window: dispatch goes on, and the
    // object is released only when that outermost message has returned.
    EXPECT_EQ(::SendMessageW(hwnd, kDestroySelf, 0, 0), 7);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(window.events, (std::vector<std::string>{"destroying", "destroyed, handler goes on", "final"}));
    EXPECT_EQ(window.finalMessages, 1);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(CWindow::FromHandle(hwnd), nullptr);
}

TEST(Window, ObjectGoingFirstTakesItsWindowAlong) {
    ASSERT_NE(CWindow::RegisterClass(L"OvekTestWindow"), 0);
    HWND hwnd;
    {
        RecordingWindow window;
        hwnd = window.Create(L"OvekTestWindow", nullptr, L"t", WS_OVERLAPPEDWINDOW, 0, 0, 0, 100, 80);
        ASSERT_TRUE(::IsWindow(hwnd));
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

// A control bound by subclassing: sees its messages first; the control's own
// procedure still does its work.
class CountingButton : public CWindow {
public:
    int presses = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_LBUTTONDOWN) ++presses;
        return DefaultProc(msg, wp, lp);
    }
};

class TestDialog : public CDialog {
public:
    std::vector<UINT> seen;
    CountingButton button;
    int commands = 0;
    // What the dialog does once its modal loop runs: a posted message, so the
    // steps happen inside the loop as a person's input would.
    enum Script { EndWith42, DestroyItself, PressEscape } script = EndWith42;

protected:
    static constexpr UINT kRun = WM_APP + 10;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_NCCREATE || msg == WM_CREATE || msg == WM_INITDIALOG) seen.push_back(msg);
        if (msg == kRun) {
            HWND pressable = ::GetDlgItem(Handle(), 100);
            ::SendMessageW(pressable, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            ::SendMessageW(pressable, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            if (script == EndWith42) End(42);
            if (script == DestroyItself) ::DestroyWindow(Handle());
            if (script == PressEscape) ::SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return 0;
        }
        return CDialog::WindowProc(msg, wp, lp);
    }
    bool OnInitDialog() override {
        EXPECT_TRUE(button.SubclassDlgItem(Handle(), 100));
        if (IsModal()) ::PostMessageW(Handle(), kRun, 0, 0);
        return true;
    }
    bool OnCommand(int id, int, HWND) override {
        if (id == 100) ++commands;
        return id == 100;
    }
};

CDialogTemplate SmallDialog(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU) {
    CDialogTemplate t(style, 120, 60, L"Test");
    t.Add(L"BUTTON", L"Press", 100, BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 50, 14);
    return t;
}

TEST(Dialog, ModalSeesEveryMessageFromCreationAndEndsWithItsResult) {
    const CDialogTemplate t = SmallDialog();
    struct Case {
        TestDialog::Script script;
        INT_PTR result;
    } cases[] = {{TestDialog::EndWith42, 42}, {TestDialog::PressEscape, IDCANCEL}};
    for (const Case& c : cases) {
        TestDialog dialog;
        dialog.script = c.script;
        EXPECT_EQ(dialog.DoModal(nullptr, t.get()), c.result);
        // Bound before the first message of consequence, not at WM_INITDIALOG.
        EXPECT_EQ(dialog.seen, (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_INITDIALOG}));
        // The subclassed button saw the press and still clicked as a button.
        EXPECT_EQ(dialog.button.presses, 1);
        EXPECT_EQ(dialog.commands, 1);
        EXPECT_EQ(dialog.Handle(), nullptr);
        EXPECT_EQ(dialog.button.Handle(), nullptr);
    }
}

TEST(Dialog, ModalDialogThatDestroysItselfEndsItsLoop) {
    const CDialogTemplate t = SmallDialog();
    TestDialog dialog;
    dialog.script = TestDialog::DestroyItself;
    dialog.DoModal(nullptr, t.get());  // returns at all: the loop ended
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(Dialog, ChildDialogLivesInsideItsParentAndGoesWithItsObject) {
    ASSERT_NE(CWindow::RegisterClass(L"OvekTestWindow"), 0);
    RecordingWindow parent;
    ASSERT_TRUE(parent.Create(L"OvekTestWindow", nullptr, L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0, 300, 200));
    const CDialogTemplate t = SmallDialog(WS_CHILD | DS_CONTROL);
    HWND child;
    {
        TestDialog panel;
        child = panel.Create(parent.Handle(), t.get());
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(::GetParent(child), parent.Handle());
        EXPECT_EQ(CWindow::FromHandle(child), &panel);
        // Enter and Escape do nothing in a child dialog.
        ::SendMessageW(child, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::SendMessageW(child, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(::IsWindow(child));
        // Giving the button back restores its own procedure.
        HWND button = panel.button.Handle();
        EXPECT_TRUE(panel.button.Unsubclass());
        EXPECT_EQ(CWindow::FromHandle(button), nullptr);
        ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        ::SendMessageW(button, WM_LBUTTONUP, 0, 0);
        EXPECT_EQ(panel.button.presses, 0);
    }
    EXPECT_FALSE(::IsWindow(child));
    EXPECT_TRUE(::IsWindow(parent.Handle()));
}

}  // namespace
}  // namespace ovek
