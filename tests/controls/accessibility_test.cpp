// The skinned controls seen as a keyboard user and a screen reader see
// them: names and states through the accessibility interface, Tab order,
// Space on a focused button, Enter doing nothing in a panel.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "button_dialog.h"
#include "controls/COvekButton.h"
#include "controls/COvekEdit.h"
#include "controls/COvekStatic.h"
#include "controls/COvekTextButton.h"

namespace ovek::test {
namespace {

enum : int { kInstall = 133, kCheck = 134, kLink = 152, kEdit = 143, kBrowse = 148, kPlain = 135 };

struct AccessibleFacts {
    std::wstring name;
    long state = 0;
    bool ok = false;
};

// oleacc is loaded here, not linked: only this test needs it.
AccessibleFacts Describe(HWND control) {
    AccessibleFacts facts;
    using Fn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static HMODULE oleacc = ::LoadLibraryW(L"oleacc.dll");
    auto fromWindow = oleacc ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(oleacc, "AccessibleObjectFromWindow"))) : nullptr;
    if (!fromWindow) return facts;
    ComPtr<IAccessible> acc;
    if (FAILED(fromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), acc.put_void())))
        return facts;
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (SUCCEEDED(acc->get_accName(self, &name)) && name) {
        facts.name = name;
        ::SysFreeString(name);
    }
    VARIANT state;
    ::VariantInit(&state);
    if (SUCCEEDED(acc->get_accState(self, &state)) && state.vt == VT_I4) facts.state = state.lVal;
    facts.ok = true;
    return facts;
}

class KeyboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CreateSharedFonts();
        ::CoInitialize(nullptr);
    }
    void SetUp() override {
        // The settings panel's keyboard stops, in its order.
        CDialogTemplate t = PopupTemplate();
        t.Add(L"BUTTON", L"Install", kInstall, BS_OWNERDRAW | WS_TABSTOP, 10, 5, 120, 20);
        t.Add(L"BUTTON", L"I accept the License Terms", kCheck, BS_PUSHBUTTON | WS_TABSTOP, 10, 30, 10, 10);
        t.Add(L"STATIC", L"I accept the", kPlain, SS_LEFT, 24, 30, 40, 10);
        t.Add(L"STATIC", L"License Terms", kLink, SS_LEFT | SS_NOTIFY | WS_TABSTOP, 66, 30, 60, 10);
        t.Add(L"EDIT", L"C:\\Program Files\\Kavro", kEdit, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 50,
              150, 14);
        t.Add(L"BUTTON", L"Browse...", kBrowse, BS_PUSHBUTTON | WS_TABSTOP, 164, 50, 14, 14);
        dialog.init = [&](HWND d) {
            ASSERT_TRUE(install.Bind(d, kInstall));
            ASSERT_TRUE(check.Bind(d, kCheck));
            ASSERT_TRUE(plain.Bind(d, kPlain));
            ASSERT_TRUE(link.Bind(d, kLink));
            ASSERT_TRUE(edit.Bind(d, kEdit));
            ASSERT_TRUE(browse.Bind(d, kBrowse));
            const Color bg = Palette().WindowBackground;
            check.SetColors(bg, bg, bg, bg, L"");
            browse.SetColors(Palette().FieldButton, Palette().FieldButton, Palette().FieldButton,
                             Palette().FieldButton, L"...");
            link.SetLink(true);
            link.SetColors(bg, kLicenceLinkColor, kLicenceLinkColor);
            link.SetText(L"License Terms");
            plain.SetText(L"I accept the");
            edit.SetMode(EditMode::Text);
        };
        ASSERT_NE(dialog.Open(t), nullptr);
        ASSERT_TRUE(WaitForPaint(dialog.Handle(), 5000));
    }
    void TearDown() override {
        HoldKey(VK_SHIFT, false);
        dialog.End(0);
        PumpMessages();
    }
    // A key pressed and released at the focused window, through the
    // dialog manager as the wizard's loop does it.
    void Press(WPARAM key) {
        HWND focus = ::GetFocus();
        ::PostMessageW(focus, WM_KEYDOWN, key, 1);
        ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
        dialog.Settle();
    }
    int FocusId() { return ::GetDlgCtrlID(::GetFocus()); }

    ControlDialog dialog;
    COvekTextButton install;
    COvekButton check, browse;
    COvekStatic plain, link;
    COvekEdit edit;
};

TEST_F(KeyboardTest, NamesAndStatesReachScreenReaders) {
    struct Case {
        int id;
        const wchar_t* name;
    } cases[] = {{kInstall, L"Install"}, {kCheck, L"I accept the License Terms"}, {kLink, L"License Terms"},
                 {kPlain, L"I accept the"}, {kBrowse, L"..."}};
    for (const Case& c : cases) {
        const AccessibleFacts f = Describe(dialog.Item(c.id));
        ASSERT_TRUE(f.ok) << c.id;
        EXPECT_EQ(f.name, c.name) << c.id;
        EXPECT_FALSE(f.state & STATE_SYSTEM_UNAVAILABLE) << c.id;
    }
    install.SetCaption(L"Start Now");
    install.SetEnabled(false);
    AccessibleFacts off = Describe(dialog.Item(kInstall));
    EXPECT_EQ(off.name, L"Start Now");
    EXPECT_TRUE(off.state & STATE_SYSTEM_UNAVAILABLE);
    install.SetEnabled(true);
    EXPECT_FALSE(Describe(dialog.Item(kInstall)).state & STATE_SYSTEM_UNAVAILABLE);
}

TEST_F(KeyboardTest, TabFollowsTheTemplateOrderAndSkipsDisabled) {
    ::SetFocus(dialog.Item(kInstall));
    std::vector<int> forward;
    for (int i = 0; i < 5; ++i) {
        Press(VK_TAB);
        forward.push_back(FocusId());
    }
    EXPECT_EQ(forward, (std::vector<int>{kCheck, kLink, kEdit, kBrowse, kInstall}));
    HoldKey(VK_SHIFT, true);
    Press(VK_TAB);
    EXPECT_EQ(FocusId(), kBrowse);
    HoldKey(VK_SHIFT, false);
    // A disabled Install is no keyboard stop.
    install.SetEnabled(false);
    ::SetFocus(dialog.Item(kBrowse));
    Press(VK_TAB);
    EXPECT_EQ(FocusId(), kCheck);
    // Reaching the field by keyboard does not make it look clicked.
    Press(VK_TAB);
    Press(VK_TAB);
    EXPECT_EQ(FocusId(), kEdit);
    EXPECT_FALSE(edit.Active());
}

TEST_F(KeyboardTest, SpaceClicksTheFocusedControlAndEnterDoesNothing) {
    struct Case {
        int id;
        int clicks;
    } cases[] = {{kInstall, 1}, {kCheck, 1}, {kBrowse, 1}, {kLink, 1}};
    for (const Case& c : cases) {
        dialog.commands.clear();
        ::SetFocus(dialog.Item(c.id));
        Press(VK_SPACE);
        EXPECT_EQ(dialog.Clicks(c.id), c.clicks) << c.id;
        ASSERT_FALSE(dialog.commands.empty());
        EXPECT_EQ(dialog.commands.back().from, dialog.Item(c.id));
        dialog.commands.clear();
        Press(VK_RETURN);
        Press(VK_ESCAPE);
        EXPECT_EQ(dialog.Clicks(c.id), 0) << "Enter and Escape click nothing";
        EXPECT_TRUE(::IsWindow(dialog.Handle()));
    }
    // A disabled button takes no Space.
    install.SetEnabled(false);
    dialog.commands.clear();
    ::SendMessageW(dialog.Item(kInstall), WM_KEYDOWN, VK_SPACE, 1);
    ::SendMessageW(dialog.Item(kInstall), WM_KEYUP, VK_SPACE, 0xC0000001);
    dialog.Settle();
    EXPECT_EQ(dialog.Clicks(kInstall), 0);
}

// Pixels that differ from the face inside the button: the focus cue.
int CuePixels(const PixelBuffer& shot, Rgb face, const RECT& ring) {
    const int all = (ring.right - ring.left) * (ring.bottom - ring.top);
    return all - CountColor(shot, face, 2, ring);
}

TEST_F(KeyboardTest, KeyboardFocusIsShownOnlyOnceTheKeyboardIsUsed) {
    HWND b = dialog.Item(kInstall);
    dialog.Place(kInstall, 20, 10, 200, 34);
    // As a dialog opened with the mouse starts on Windows.
    ::SendMessageW(dialog.Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    ::SetFocus(b);
    // A ring three pixels in, away from the caption.
    const RECT ring{3, 3, 197, 4};
    const Rgb face = RgbOf(Palette().ButtonFace);
    PixelBuffer shot;
    WaitForPaint(dialog.Handle(), 2000);
    ASSERT_TRUE(WaitForCapture(b, [&](const PixelBuffer& s) { return s.At(10, 17) == face; }, shot, 3000));
    const int hidden = CuePixels(shot, face, ring);
    // Wine keeps cues shown from the start; where the platform hides them,
    // the button must too.
    const bool platformHides = (::SendMessageW(b, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
    // Tab away and back: the dialog manager now shows focus cues.
    Press(VK_TAB);
    HoldKey(VK_SHIFT, true);
    Press(VK_TAB);
    HoldKey(VK_SHIFT, false);
    ASSERT_EQ(::GetFocus(), b);
    WaitForPaint(dialog.Handle(), 2000);
    WaitForCapture(b, [&](const PixelBuffer& s) { return CuePixels(s, face, ring) > 40; }, shot, 3000);
    if (platformHides) {
        EXPECT_EQ(hidden, 0) << "no cue before the keyboard is used";
    }
    EXPECT_GT(CuePixels(shot, face, ring), 40) << "dotted line along the top";
    SaveScreenshot(shot, L"text-button-focused-96");
}

}  // namespace
}  // namespace ovek::test
