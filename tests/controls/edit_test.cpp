// The folder field: its frame and line, clicks, shortcuts and numeric modes.
#include <gtest/gtest.h>

#include <string>

#include "button_dialog.h"
#include "controls/COvekEdit.h"
#include "controls/COvekEditRules.h"

namespace ovek::test {
namespace {

constexpr int kEdit = 143;
constexpr Rgb kActive{54, 138, 211};

TEST(EditRules, LineInsetAndNumbers) {
    EXPECT_EQ(EditLineInset(24, 0, 13), 5);
    EXPECT_EQ(EditLineInset(23, 1, 13), 4);
    EXPECT_EQ(EditLineInset(10, 0, 13), 0) << "never grows the client area";
    EXPECT_EQ(WithThousandsSeparators(L"1234567.25"), L"1,234,567.25");
    EXPECT_EQ(WithThousandsSeparators(L"-1,234"), L"-1,234");
    EXPECT_EQ(WithThousandsSeparators(L"999"), L"999");
    NumericSettings s;
    s.intMin = 0;
    s.intMax = 10;
    s.decMin = 0.0;
    s.decMax = 1.0;
    s.decimals = 2;
    struct Case {
        EditMode mode;
        const wchar_t* text;
        int dir;
        const wchar_t* want;
    } cases[] = {{EditMode::Integer, L"4", 1, L"5"},    {EditMode::Integer, L"10", 1, L"10"},
                 {EditMode::Integer, L"0", -1, L"0"},   {EditMode::Decimal, L"0.5", 1, L"0.60"},
                 {EditMode::Decimal, L"0.95", 1, L"1.00"}};
    for (const Case& c : cases) EXPECT_EQ(SteppedNumber(c.mode, s, c.text, c.dir), c.want) << c.text;
    EXPECT_TRUE(AcceptsNumericChar(EditMode::Decimal, s, L"1", L'.', 1));
    EXPECT_FALSE(AcceptsNumericChar(EditMode::Decimal, s, L"1.5", L'.', 3));
    EXPECT_FALSE(AcceptsNumericChar(EditMode::Integer, s, L"1", L'.', 1));
    EXPECT_FALSE(AcceptsNumericChar(EditMode::Integer, s, L"1", L'-', 0)) << "negatives off";
    EXPECT_FALSE(AcceptsNumericChar(EditMode::Integer, s, L"1", L'a', 1));
}

class EditTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CreateSharedFonts(); }
    void SetUp() override {
        CDialogTemplate t = PopupTemplate();
        t.Add(L"EDIT", L"C:\\Program Files\\Kavro Free", kEdit, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10,
              10, 150, 14);
        t.Add(L"BUTTON", L"Other", 1001, BS_PUSHBUTTON | WS_TABSTOP, 10, 40, 40, 14);
        dialog.init = [&](HWND d) {
            ASSERT_TRUE(edit.Bind(d, kEdit));
            const Color field = Palette().FieldBackground;
            edit.SetColors(field, ovek::Rgb(54, 138, 211), field, ovek::Rgb(255, 255, 255));
            edit.SetMode(EditMode::Text);
        };
        ASSERT_NE(dialog.Open(t), nullptr);
        dialog.Place(kEdit, 20, 20, 300, 24);
        e = dialog.Item(kEdit);
        ::SetFocus(dialog.Item(1001));
        ASSERT_TRUE(WaitForPaint(dialog.Handle(), 5000));
    }
    void TearDown() override {
        HoldKey(VK_CONTROL, false);
        dialog.End(0);
        PumpMessages();
    }
    std::pair<DWORD, DWORD> Selection() {
        DWORD a = 0, b = 0;
        ::SendMessageW(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        return {a, b};
    }
    std::wstring Text() {
        wchar_t buffer[256]{};
        ::GetWindowTextW(e, buffer, 256);
        return buffer;
    }
    void Click(UINT down, UINT up, int x) {
        ::SendMessageW(e, down, MK_LBUTTON, MAKELPARAM(x, 6));
        ::SendMessageW(e, up, 0, MAKELPARAM(x, 6));
        dialog.Settle();
    }
    ControlDialog dialog;
    COvekEdit edit;
    HWND e = nullptr;
};

TEST_F(EditTest, OneLineCentredInsideAOnePixelFrame) {
    RECT window{}, client{};
    ::GetWindowRect(e, &window);
    ::GetClientRect(e, &client);
    POINT origin{0, 0};
    ::ClientToScreen(e, &origin);
    EXPECT_EQ(GetWindowLongPtrW(e, GWL_STYLE) & WS_BORDER, 0);
    EXPECT_EQ(origin.x - window.left, 1);
    EXPECT_EQ(client.right, 300 - 2);
    TEXTMETRICW tm{};
    {
        CWindowDC dc(e);
        CSelectObject select(dc.get(), reinterpret_cast<HFONT>(::SendMessageW(e, WM_GETFONT, 0, 0)));
        ::GetTextMetricsW(dc.get(), &tm);
    }
    const int inset = (24 - tm.tmExternalLeading - tm.tmHeight) / 2;
    EXPECT_EQ(origin.y - window.top, inset);
    EXPECT_EQ(client.bottom, 24 - 2 * inset);
}

TEST_F(EditTest, FirstClickSelectsAllAndShowsTheActiveFrameSecondPlacesTheCaret) {
    const Rgb field = RgbOf(Palette().FieldBackground);
    PixelBuffer shot;
    ASSERT_TRUE(WaitForCapture(e, [&](const PixelBuffer& s) { return s.At(0, 12) == field; }, shot, 3000));
    EXPECT_TRUE(AreaFilled(shot, RECT{0, 0, 300, 1}, field, 0)) << "idle: no frame shows";
    SaveScreenshot(shot, L"folder-edit-idle-96");

    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, 40);
    EXPECT_EQ(::GetFocus(), e);
    EXPECT_TRUE(edit.Active());
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, static_cast<DWORD>(Text().size())));
    EXPECT_EQ(edit.CachedText(), Text());
    EXPECT_NE(::GetCapture(), e);
    ASSERT_TRUE(WaitForCapture(e, [&](const PixelBuffer& s) { return s.At(0, 12) == kActive; }, shot, 3000));
    EXPECT_TRUE(AreaFilled(shot, RECT{0, 0, 300, 1}, kActive, 0));
    EXPECT_TRUE(AreaFilled(shot, RECT{0, 23, 300, 24}, kActive, 0));
    EXPECT_TRUE(AreaFilled(shot, RECT{299, 0, 300, 24}, kActive, 0));
    EXPECT_TRUE(AreaFilled(shot, RECT{1, 1, 299, 3}, field, 0)) << "band above the line";
    SaveScreenshot(shot, L"folder-edit-active-96");

    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, 40);
    const auto caret = Selection();
    EXPECT_EQ(caret.first, caret.second) << "the second click places the caret";
    EXPECT_GT(caret.first, 0u);
    EXPECT_LT(caret.first, Text().size());

    // Losing the focus drops the active frame; coming back by keyboard does
    // not bring it back.
    ::SetFocus(dialog.Item(1001));
    EXPECT_FALSE(edit.Active());
    ASSERT_TRUE(WaitForCapture(e, [&](const PixelBuffer& s) { return s.At(0, 12) == field; }, shot, 3000));
    ::SetFocus(e);
    EXPECT_FALSE(edit.Active());
}

TEST_F(EditTest, RightClickSelectsAllWithoutAMenu) {
    Click(WM_RBUTTONDOWN, WM_RBUTTONUP, 40);
    EXPECT_EQ(::GetFocus(), e);
    EXPECT_TRUE(edit.Active());
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, static_cast<DWORD>(Text().size())));
    EXPECT_EQ(::FindWindowW(L"#32768", nullptr), nullptr) << "no context menu";
    // Already active: the caret goes to the end instead.
    Click(WM_RBUTTONDOWN, WM_RBUTTONUP, 40);
    const DWORD end = static_cast<DWORD>(Text().size());
    EXPECT_EQ(Selection(), std::make_pair(end, end));
    ::SendMessageW(e, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(e), MAKELPARAM(-1, -1));
    EXPECT_EQ(::FindWindowW(L"#32768", nullptr), nullptr);
}

// Ctrl+key as the keyboard delivers it: the key, then its control character.
void CtrlKey(HWND e, wchar_t letter) {
    HoldKey(VK_CONTROL, true);
    ::SendMessageW(e, WM_KEYDOWN, letter, 1);
    ::SendMessageW(e, WM_CHAR, letter - L'A' + 1, 1);
    ::SendMessageW(e, WM_KEYUP, letter, 0xC0000001);
    HoldKey(VK_CONTROL, false);
}

bool PutOnClipboard(HWND owner, const std::wstring& text) {
    if (!::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory) {
        memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        ::GlobalUnlock(memory);
        if (!::SetClipboardData(CF_UNICODETEXT, memory)) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return memory != nullptr;
}

TEST_F(EditTest, ShortcutsPasteOnceSelectAllAndCut) {
    ASSERT_TRUE(PutOnClipboard(dialog.Handle(), L"D:\\Games"));
    ::SetFocus(e);
    ::SendMessageW(e, EM_SETSEL, 0, -1);
    CtrlKey(e, L'V');
    EXPECT_EQ(Text(), L"D:\\Games") << "pasted exactly once";
    ::SendMessageW(e, EM_SETSEL, 2, 2);
    CtrlKey(e, L'A');
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{8}));
    CtrlKey(e, L'X');
    EXPECT_EQ(Text(), L"");
    CtrlKey(e, L'V');
    EXPECT_EQ(Text(), L"D:\\Games");
    edit.pasteAllowed = false;
    CtrlKey(e, L'V');
    EXPECT_EQ(Text(), L"D:\\Games") << "paste switched off";
}

TEST_F(EditTest, NumericModesFilterStepAndReportEnter) {
    edit.SetMode(EditMode::Integer);
    edit.numeric.intMin = 0;
    edit.numeric.intMax = 99;
    ::SetWindowTextW(e, L"41");
    ::SetFocus(e);
    ::SendMessageW(e, EM_SETSEL, 2, 2);
    for (wchar_t c : std::wstring(L"x.5")) ::SendMessageW(e, WM_CHAR, c, 1);
    EXPECT_EQ(Text(), L"415") << "letters and points are dropped";
    ::SetWindowTextW(e, L"41");
    ::SendMessageW(e, WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(Text(), L"42");
    ::PostMessageW(e, WM_KEYDOWN, VK_RETURN, 1);
    dialog.Settle();
    dialog.Settle();
    ASSERT_EQ(dialog.editEnters.size(), 1u);
    EXPECT_EQ(dialog.editEnters[0], e);

    // The text mode posts nothing on Enter.
    edit.SetMode(EditMode::Text);
    ::SendMessageW(e, WM_KEYDOWN, VK_RETURN, 1);
    dialog.Settle();
    EXPECT_EQ(dialog.editEnters.size(), 1u);
}

}  // namespace
}  // namespace ovek::test
