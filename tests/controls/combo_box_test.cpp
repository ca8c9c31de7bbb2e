// The language box as a real window under the virtual display: its face,
// hover, drop list, keyboard and resources, at 96 dpi here and at 144 dpi
// through its helper.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ComboFixture.h"
#include "controls/ComboGeometry.h"
#include "support/TestSupport.h"

namespace ovek::test {
namespace {

constexpr DWORD kWait = 5000;
const Rgb kHoverFrame{54, 138, 211};
const Rgb kIdleFrame{73, 90, 105};

std::vector<std::wstring> Languages(int count) {
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i) names.push_back(L"Language " + std::to_wstring(i));
    return names;
}

int TextWidth(const std::wstring& text) {
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, Fonts().tahoma14);
    SIZE size{};
    ::GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    return size.cx;
}

int AverageCharWidth() {
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, Fonts().tahoma14);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(screen, &tm);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    return tm.tmAveCharWidth;
}

std::shared_ptr<CImageWrapper> Arrow(ComboHarness& h) {
    return LoadResourcePicture(ThemePictureId(Picture::ComboArrow), h.pictures.get());
}

::testing::AssertionResult FrameIs(const PixelBuffer& face, Rgb color) {
    const int w = face.Width(), h = face.Height();
    const POINT points[] = {{0, h / 2}, {w - 1, h / 2}, {w / 2, 0}, {w / 2, h - 1}, {0, 0}, {w - 1, h - 1}};
    for (POINT p : points) {
        auto pixel = PixelNear(face, p.x, p.y, color, 2);
        if (!pixel) return pixel;
    }
    return ::testing::AssertionSuccess();
}

TEST(ComboBox, FaceDrawsTheSelectedNameCutAtTheArrow) {
    ComboHarness h;
    const std::wstring wide = L"Portugues do Brasil, uma lingua muito longa para caber";
    ASSERT_TRUE(h.Open({L"English", wide}, 1));
    auto arrow = Arrow(h);
    ASSERT_TRUE(arrow && arrow->bitmap);
    ASSERT_EQ(arrow->width, 3 * 14);

    const PixelBuffer face = h.Face();
    ASSERT_GT(face.Width(), 0);
    SaveScreenshot(face, L"combo-face-96");
    const int w = face.Width(), height = face.Height();
    EXPECT_TRUE(FrameIs(face, kIdleFrame));
    EXPECT_TRUE(PixelNear(face, 1, 1, RgbOf(Palette().FieldBackground), 1));
    EXPECT_TRUE(PixelNear(face, w - 2, 1, RgbOf(Palette().FieldButton), 1));
    // The drop button is 24 pixels wide at 96 dpi.
    EXPECT_TRUE(PixelNear(face, w - 24, 1, RgbOf(Palette().FieldButton), 1));
    EXPECT_TRUE(PixelNear(face, w - 25, 1, RgbOf(Palette().FieldBackground), 1));

    // The normal arrow cell, blended over the drop button.
    const int arrowLeft = combo::ArrowCellLeft(w, 14, 96);
    EXPECT_EQ(CellMismatches(face, arrowLeft, (height - arrow->height) / 2, *arrow, 2, Palette().FieldButton, 3), 0);

    // Text runs right up to the cut and not past it.
    const combo::Span span = combo::FaceTextSpan(w, 14, 96, false);
    EXPECT_EQ(span.right, w - 21);
    EXPECT_GT(CountLight(face, RECT{span.right - 10, 1, span.right, height - 1}), 0);
    EXPECT_EQ(CountLight(face, RECT{span.right, 1, arrowLeft, height - 1}), 0);
    EXPECT_EQ(CountLight(face, RECT{1, 1, span.left, height - 1}), 0);
    EXPECT_GT(CountLight(face, RECT{span.left, 1, span.left + 8, height - 1}), 0);

    // The window says what it shows.
    wchar_t text[128]{};
    ::GetWindowTextW(h.combo, text, 128);
    EXPECT_EQ(std::wstring(text), wide);
}

TEST(ComboBox, WithoutASelectionOnlyThePlaceholderShowsInGrey) {
    ComboHarness h;
    ASSERT_TRUE(h.Open({L"English", L"Deutsch"}, -1));
    PixelBuffer face = h.Face();
    const RECT textArea{1, 1, face.Width() - 24, face.Height() - 1};
    EXPECT_TRUE(AreaFilled(face, textArea, RgbOf(Palette().FieldBackground), 1));

    h.box->placeholder = L"Choose a language";
    face = h.Face();
    EXPECT_EQ(CountLight(face, textArea), 0);
    EXPECT_GT(CountColor(face, Rgb{100, 100, 100}, 12, textArea), 5);
}

TEST(ComboBox, PointerOverTheBoxLightsFrameAndArrowAndTellsTheParent) {
    ComboHarness h;
    ASSERT_TRUE(h.Open({L"English", L"Deutsch"}, 0));
    auto arrow = Arrow(h);
    ASSERT_TRUE(arrow && arrow->bitmap);
    ComboHarness::MovePointer(POINT{5, 5});
    ASSERT_TRUE(WaitUntil([&] { return !h.box->Hover(); }, kWait));
    h.window.posted.clear();

    RECT client{};
    ::GetClientRect(h.combo, &client);
    ComboHarness::MovePointer(h.ComboPoint(10, client.bottom / 2));
    ASSERT_TRUE(WaitUntil([&] { return h.window.Count(kComboPointerEntered) == 1; }, kWait));
    EXPECT_TRUE(h.box->Hover());
    EXPECT_FALSE(h.box->ArrowHover());
    EXPECT_EQ(h.window.posted.front().wp, reinterpret_cast<WPARAM>(h.box.get()));
    PixelBuffer face = h.Face();
    SaveScreenshot(face, L"combo-hover-96");
    EXPECT_TRUE(FrameIs(face, kHoverFrame));
    const int arrowLeft = combo::ArrowCellLeft(face.Width(), 14, 96);
    const int arrowTop = (face.Height() - arrow->height) / 2;
    EXPECT_EQ(CellMismatches(face, arrowLeft, arrowTop, *arrow, 1, Palette().FieldButton, 3), 0);

    // Over the arrow area; moving within the box posts nothing more.
    const RECT area = h.box->ArrowArea();
    ComboHarness::MovePointer(h.ComboPoint((area.left + area.right) / 2, client.bottom / 2));
    ASSERT_TRUE(WaitUntil([&] { return h.box->ArrowHover(); }, kWait));
    EXPECT_EQ(h.window.Count(kComboPointerEntered), 1);

    ComboHarness::MovePointer(POINT{5, 5});
    ASSERT_TRUE(WaitUntil([&] { return h.window.Count(kComboPointerLeft) == 1; }, kWait));
    EXPECT_FALSE(h.box->Hover());
    EXPECT_FALSE(h.box->ArrowHover());
    face = h.Face();
    EXPECT_TRUE(FrameIs(face, kIdleFrame));
    EXPECT_EQ(CellMismatches(face, arrowLeft, arrowTop, *arrow, 2, Palette().FieldButton, 3), 0);
}

TEST(ComboBox, HoverLookStaysWhileTheListIsOpen) {
    ComboHarness h;
    ASSERT_TRUE(h.Open({L"English", L"Deutsch", L"Francais"}, 0));
    RECT client{};
    ::GetClientRect(h.combo, &client);
    ComboHarness::MovePointer(h.ComboPoint(10, client.bottom / 2));
    ASSERT_TRUE(WaitUntil([&] { return h.box->Hover(); }, kWait));

    ::SendMessageW(h.combo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, client.bottom / 2));
    ASSERT_TRUE(WaitUntil([&] { return h.box->Dropped(); }, kWait));
    EXPECT_EQ(::GetFocus(), h.combo);
    const int leftBefore = h.window.Count(kComboPointerLeft);
    // Away from the box and from its list.
    const RECT list = h.ListScreenRect();
    ComboHarness::MovePointer(POINT{list.right + 150, list.bottom + 20});
    ASSERT_TRUE(WaitUntil([&] { return h.window.Count(kComboPointerLeft) > leftBefore; }, kWait));
    EXPECT_TRUE(h.box->Hover());
    EXPECT_TRUE(FrameIs(h.Face(), kHoverFrame));

    h.Key(WM_KEYDOWN, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !h.box->Dropped(); }, kWait));
    EXPECT_FALSE(h.box->Hover());
    EXPECT_TRUE(FrameIs(h.Face(), kIdleFrame));
}

TEST(ComboBox, HiddenEditPartHandsPressesAndFocusToTheBox) {
    ComboHarness h;
    ASSERT_TRUE(h.Open({L"English", L"Deutsch"}, 0));
    HWND edit = h.box->EditPart().Handle();
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(::IsWindowVisible(edit));
    EXPECT_TRUE(h.box->IsReadOnly());

    ::SetFocus(h.combo);
    ::SetFocus(edit);
    EXPECT_EQ(::GetFocus(), h.combo);
    ::SendMessageW(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_FALSE(h.box->Dropped());
    ::SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_TRUE(WaitUntil([&] { return h.box->Dropped(); }, kWait));
    // A second press closes it again.
    ::SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_TRUE(WaitUntil([&] { return !h.box->Dropped(); }, kWait));
}

TEST(ComboBox, ClickingARowChoosesItAndConfirms) {
    ComboHarness h;
    const std::vector<std::wstring> names = {L"English", L"Deutsch", L"Francais"};
    ASSERT_TRUE(h.Open(names, 0));
    RECT client{};
    ::GetClientRect(h.combo, &client);
    auto click = [](POINT screen) {
        ComboHarness::MovePointer(screen);
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ::SendInput(2, input, sizeof input[0]);
    };
    click(h.ComboPoint(10, client.bottom / 2));
    HWND list = h.box->List().Handle();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(list); }, kWait));
    EXPECT_EQ(::GetFocus(), h.combo);
    RECT row{};
    ::SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    POINT centre{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    ::ClientToScreen(list, &centre);
    click(centre);
    ASSERT_TRUE(WaitUntil([&] { return !h.box->Dropped(); }, kWait));
    EXPECT_TRUE(WaitUntil([&] { return h.window.CountNotification(CBN_SELENDOK) == 1; }, kWait));
    EXPECT_EQ(::SendMessageW(h.combo, CB_GETCURSEL, 0, 0), 2);
    wchar_t text[64]{};
    ::GetWindowTextW(h.combo, text, 64);
    EXPECT_EQ(std::wstring(text), names[2]);
    // The face follows.
    const PixelBuffer face = h.Face();
    EXPECT_GT(CountLight(face, RECT{4, 1, 40, face.Height() - 1}), 0);
    ComboHarness::MovePointer(POINT{5, 5});
}

TEST(ComboBox, DropListTakesTheWidestNameAndRoomForAScrollBar) {
    const std::wstring wide = L"A language whose name is much wider than its box";
    struct Case {
        int count;
        bool scrollBar;
    };
    for (Case c : {Case{30, false}, Case{31, true}}) {
        SCOPED_TRACE(c.count);
        ComboHarness h;
        auto names = Languages(c.count);
        names[3] = wide;
        ASSERT_TRUE(h.Open(names, 0));
        RECT control = h.ComboScreenRect();
        int expected = TextWidth(wide) + 2 * Unstepped(96, ::GetSystemMetrics(SM_CXEDGE)) +
                       2 * Unstepped(96, AverageCharWidth());
        if (c.scrollBar) expected += ::GetSystemMetrics(SM_CXVSCROLL);
        ASSERT_GT(expected, control.right - control.left);
        EXPECT_EQ(h.box->ComputeDropWidth(), expected);

        ::SetFocus(h.combo);
        h.Key(WM_SYSKEYDOWN, VK_DOWN, true);
        ASSERT_TRUE(WaitUntil([&] { return h.box->Dropped() && ::IsWindowVisible(h.box->List().Handle()); }, kWait));
        const RECT list = h.ListScreenRect();
        EXPECT_EQ(list.right - list.left, expected);
        EXPECT_EQ(list.left, control.left);
        h.Key(WM_KEYDOWN, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !h.box->Dropped(); }, kWait));
        // Opened by its owner rather than by the user: as wide.
        ::SendMessageW(h.combo, CB_SHOWDROPDOWN, TRUE, 0);
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(h.box->List().Handle()); }, kWait));
        EXPECT_EQ(h.ListScreenRect().right - h.ListScreenRect().left, expected);
        ::SendMessageW(h.combo, CB_SHOWDROPDOWN, FALSE, 0);
    }
}

TEST(ComboBox, DropListDrawsItsRowsAndBorder) {
    ComboHarness h;
    ASSERT_TRUE(h.Open({L"English", L"Deutsch", L"Francais"}, 1));
    ::SetFocus(h.combo);
    h.Key(WM_SYSKEYDOWN, VK_DOWN, true);
    HWND list = h.box->List().Handle();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(list); }, kWait));
    RECT row0{}, row1{};
    ::SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0));
    ::SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row1));
    EXPECT_EQ(row0.bottom - row0.top, Unstepped(96, 24));
    PixelBuffer shot;
    POINT clientOrigin{0, 0};
    ::ClientToScreen(list, &clientOrigin);
    RECT window{};
    ::GetWindowRect(list, &window);
    const int dx = clientOrigin.x - window.left, dy = clientOrigin.y - window.top;
    ASSERT_TRUE(WaitForCapture(
        list,
        [&](const PixelBuffer& s) {
            return PixelNear(s, dx + row1.right - 3, dy + row1.top + 2, Rgb{51, 60, 67}, 2) &&
                   PixelNear(s, 0, 0, kHoverFrame, 2);
        },
        shot, kWait));
    SaveScreenshot(shot, L"combo-list-96");
    EXPECT_TRUE(PixelNear(shot, dx + row0.right - 3, dy + row0.top + 2, Rgb{20, 26, 32}, 2));
    EXPECT_TRUE(PixelNear(shot, shot.Width() - 1, shot.Height() - 1, kHoverFrame, 2));
    // Item text in (206,216,223) on both rows.
    EXPECT_GT(CountColor(shot, Rgb{206, 216, 223}, 40, RECT{dx, dy + row0.top, dx + row0.right, dy + row0.bottom}), 3);
    EXPECT_GT(CountColor(shot, Rgb{206, 216, 223}, 40, RECT{dx, dy + row1.top, dx + row1.right, dy + row1.bottom}), 3);
    h.Key(WM_KEYDOWN, VK_ESCAPE);
}

TEST(ComboBox, DropListAtTheMonitorEdgeMovesLeftToEndThere) {
    ComboHarness h;
    ASSERT_TRUE(h.Open({L"English", L"A language whose name is much wider than its box"}, 0));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(h.combo, MONITOR_DEFAULTTONEAREST), &monitor));
    RECT control = h.ComboScreenRect();
    RECT dialog{};
    ::GetWindowRect(h.dialog, &dialog);
    const int shift = (monitor.rcMonitor.right - 10) - control.right;
    ::SetWindowPos(h.dialog, nullptr, dialog.left + shift, dialog.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    control = h.ComboScreenRect();
    const int width = h.box->ComputeDropWidth();
    ASSERT_GT(control.left + width, monitor.rcMonitor.right);

    ::SetFocus(h.combo);
    h.Key(WM_SYSKEYDOWN, VK_DOWN, true);
    ASSERT_TRUE(WaitUntil([&] { return h.box->Dropped(); }, kWait));
    EXPECT_TRUE(WaitUntil([&] { return h.ListScreenRect().right == monitor.rcMonitor.right; }, kWait))
        << h.ListScreenRect().left << ".." << h.ListScreenRect().right;
    EXPECT_EQ(h.ListScreenRect().right - h.ListScreenRect().left, width);
    h.Key(WM_KEYDOWN, VK_ESCAPE);
}

TEST(ComboBox, RightClickInTheListReachesTheParentWithTheItem) {
    ComboHarness h;
    ASSERT_TRUE(h.Open({L"English", L"Deutsch", L"Francais"}, 0));
    ::SetFocus(h.combo);
    h.Key(WM_SYSKEYDOWN, VK_DOWN, true);
    HWND list = h.box->List().Handle();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(list); }, kWait));
    RECT row{};
    ::SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    ::PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2));
    ASSERT_TRUE(WaitUntil([&] { return h.window.Count(kComboItemRightClicked) == 1; }, kWait));
    EXPECT_EQ(static_cast<int>(h.window.posted.back().wp), 2);
    // Below every row: no item.
    RECT client{};
    ::GetClientRect(list, &client);
    ::PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(5, client.bottom + 5));
    ASSERT_TRUE(WaitUntil([&] { return h.window.Count(kComboItemRightClicked) == 2; }, kWait));
    EXPECT_EQ(static_cast<int>(h.window.posted.back().wp), -1);
    h.Key(WM_KEYDOWN, VK_ESCAPE);
}

TEST(ComboBox, KeyboardMovesFocusAndSelectionAsADropDownListDoes) {
    ComboHarness h;
    const std::vector<std::wstring> names = {L"English", L"Deutsch", L"Francais", L"Italiano"};
    ASSERT_TRUE(h.Open(names, 0));
    auto text = [&] {
        wchar_t buffer[64]{};
        ::GetWindowTextW(h.combo, buffer, 64);
        return std::wstring(buffer);
    };
    auto selection = [&] { return static_cast<int>(::SendMessageW(h.combo, CB_GETCURSEL, 0, 0)); };
    ASSERT_EQ(::GetFocus(), ::GetDlgItem(h.dialog, kBeforeId));

    h.Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(::GetFocus(), h.combo);  // the box itself, never its hidden edit part
    EXPECT_TRUE(h.box->Focused());
    EXPECT_EQ(h.window.CountNotification(CBN_SETFOCUS), 1);

    // Closed: an arrow key chooses, and the choice is confirmed at once.
    h.Key(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(selection(), 1);
    EXPECT_EQ(text(), names[1]);
    EXPECT_EQ(h.window.CountNotification(CBN_SELENDOK), 1);
    h.Key(WM_KEYDOWN, VK_END);
    EXPECT_EQ(selection(), 3);
    h.Key(WM_KEYDOWN, VK_DOWN);  // already last: nothing changes, nothing reported
    EXPECT_EQ(h.window.CountNotification(CBN_SELENDOK), 2);
    h.Key(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(text(), names[0]);

    // Alt+Down opens; arrows move in the list; Enter confirms.
    h.Key(WM_SYSKEYDOWN, VK_DOWN, true);
    ASSERT_TRUE(WaitUntil([&] { return h.box->Dropped(); }, kWait));
    const int confirmed = h.window.CountNotification(CBN_SELENDOK);
    h.Key(WM_KEYDOWN, VK_DOWN);
    h.Key(WM_KEYDOWN, VK_DOWN);
    EXPECT_TRUE(h.box->Dropped());
    h.Key(WM_KEYDOWN, VK_RETURN);
    EXPECT_FALSE(h.box->Dropped());
    EXPECT_EQ(selection(), 2);
    EXPECT_EQ(text(), names[2]);
    EXPECT_EQ(h.window.CountNotification(CBN_SELENDOK), confirmed + 1);

    // F4 opens; Escape closes and keeps the earlier choice.
    h.Key(WM_KEYDOWN, VK_F4);
    ASSERT_TRUE(WaitUntil([&] { return h.box->Dropped(); }, kWait));
    h.Key(WM_KEYDOWN, VK_UP);
    h.Key(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_FALSE(h.box->Dropped());
    EXPECT_EQ(selection(), 2);
    EXPECT_TRUE(::IsWindow(h.dialog));

    h.Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(h.dialog, kAfterId));
    EXPECT_FALSE(h.box->Focused());
}

// Windows reports a combo box's choice as its value; Wine's generic client
// object has no value and names it by its window text.
std::wstring AccessibleChoice(HWND combo) {
    ComPtr<IAccessible> accessible;
    if (::AccessibleObjectFromWindow(combo, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                     accessible.put_void()) != S_OK)
        return L"(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (accessible->get_accValue(self, &text) != S_OK || !text) {
        ::SysFreeString(text);
        text = nullptr;
        if (accessible->get_accName(self, &text) != S_OK) text = nullptr;
    }
    std::wstring result = text ? text : L"";
    ::SysFreeString(text);
    return result;
}

TEST(ComboBox, ScreenReadersReadTheChosenLanguage) {
    ComboHarness h;
    ASSERT_TRUE(h.Open({L"English", L"Deutsch"}, 1));
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    EXPECT_EQ(AccessibleChoice(h.combo), L"Deutsch");
    ::SetFocus(h.combo);
    h.Key(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(AccessibleChoice(h.combo), L"English");
    ::CoUninitialize();
}

TEST(ComboBox, FocusShowsOnlyWhenKeyboardCuesAreOn) {
    ComboHarness h;
    ASSERT_TRUE(h.Open({L"English", L"Deutsch"}, 0));
    // What the dialog manager sends its controls when the last input was the
    // mouse, and when the keyboard is used (Wine's dialogs send neither).
    ::SendMessageW(h.combo, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    const PixelBuffer unfocused = h.Face();
    ::SetFocus(h.combo);
    ASSERT_TRUE(h.box->Focused());
    const PixelBuffer mouseFocus = h.Face();
    int changed = 0;
    for (int y = 0; y < unfocused.Height(); ++y)
        for (int x = 0; x < unfocused.Width(); ++x) changed += !(unfocused.At(x, y) == mouseFocus.At(x, y));
    EXPECT_EQ(changed, 0) << "the face must look the same with and without focus when cues are hidden";

    ::SendMessageW(h.combo, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    const PixelBuffer keyboardFocus = h.Face();
    SaveScreenshot(keyboardFocus, L"combo-focus-96");
    changed = 0;
    for (int y = 0; y < unfocused.Height(); ++y)
        for (int x = 0; x < unfocused.Width(); ++x) {
            if (unfocused.At(x, y) == keyboardFocus.At(x, y)) continue;
            ++changed;
            // Only the dotted outline, two pixels inside the frame, changes.
            const bool onOutline = x == 2 || y == 2 || y == unfocused.Height() - 3 ||
                                   x == h.box->ArrowArea().left - 1;
            EXPECT_TRUE(onOutline) << x << "," << y;
            if (!onOutline) return;
        }
    EXPECT_GT(changed, 10);
}

// GDI objects a process holds: GetGuiResources where the platform counts
// them; otherwise the slot a new object gets, which climbs with every leaked
// one.
long GdiObjectGauge() {
    if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
    HBRUSH probe = ::CreateSolidBrush(RGB(1, 2, 3));
    const long slot = static_cast<long>(reinterpret_cast<ULONG_PTR>(probe) & 0xFFFF);
    ::DeleteObject(probe);
    return slot;
}

TEST(ComboBox, ThousandPaintsLeakNoGdiObjects) {
    ComboHarness h;
    ASSERT_TRUE(h.Open({L"English", L"Deutsch", L"Francais"}, 1));
    h.Face();
    ::SetFocus(h.combo);
    h.Key(WM_SYSKEYDOWN, VK_DOWN, true);
    HWND list = h.box->List().Handle();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(list); }, kWait));
    ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    const long before = GdiObjectGauge();
    for (int i = 0; i < 1000; ++i) {
        ::RedrawWindow(h.combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    }
    EXPECT_LT(GdiObjectGauge() - before, 20);
    h.Key(WM_KEYDOWN, VK_ESCAPE);
}

TEST(ComboBox, BoxWithoutPicturesDrawsNoArrowAndStillWorks) {
    // The helper's own module has no pictures at all.
    ProcessResult run = RunCaptured(L"\"" + BuildPath(L"combo_dpi_helper.exe") + L"\" --no-pictures", 60000);
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("no-pictures ok"), std::string::npos) << run.output;
}

TEST(ComboBox, AtSteppedResolutionsTheArrowAndLengthsFollow) {
    // 144 dpi checks everything; 120 and 192 pick their arrow pictures.
    struct Case {
        DWORD dpi;
        const char* arrow;
        const char* cell;
    };
    for (Case c : {Case{144, "arrow 146", "cell 21 x 21"}, Case{120, "arrow 145", "cell 18 x 18"},
                   Case{192, "arrow 147", "cell 28 x 28"}}) {
        SCOPED_TRACE(c.dpi);
        ProcessResult run = RunAtDpi(c.dpi, L"\"" + BuildPath(L"combo_dpi_helper.exe") + L"\"", 60000);
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_NE(run.output.find("dpi " + std::to_string(c.dpi)), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(c.arrow), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(c.cell), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("all ok"), std::string::npos) << run.output;
    }
}

}  // namespace
}  // namespace ovek::test
