// The installer's dialog templates, as the shipped executable holds them.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "DialogProbe.h"
#include "support/TestSupport.h"

namespace ovek::test {
namespace {

TEST(DialogTemplates, ExecutableHoldsEveryTemplate) {
    UniqueModule exe = LoadInstallerResources();
    ASSERT_TRUE(exe) << "cannot load build/OvekWebInstaller.exe, error " << ::GetLastError();
    for (WORD id : {137, 139, 142, 149, 172})
        EXPECT_NE(FindDialogTemplate(exe.get(), id), nullptr) << "no RT_DIALOG " << id;
}

class TemplateWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        windows_ = new InstallerWindows;
        ASSERT_TRUE(CreateInstallerWindows(*windows_));
    }
    static void TearDownTestSuite() {
        delete windows_;
        windows_ = nullptr;
    }
    static HWND Window(WORD id) { return windows_->Find(id); }
    static InstallerWindows* windows_;
};
InstallerWindows* TemplateWindows::windows_ = nullptr;

std::wstring ClassOf(HWND w) {
    wchar_t name[64] = {};
    ::GetClassNameW(w, name, 64);
    return name;
}

std::wstring TextOf(HWND w) {
    wchar_t text[128] = {};
    ::GetWindowTextW(w, text, 128);
    return text;
}

TEST_F(TemplateWindows, MainWindowIsTheRegisteredClassWithCaptionAndSystemMenu) {
    HWND main = Window(IDD_INSTALL_GUIDE);
    EXPECT_EQ(ClassOf(main), L"OvekMasterInstallerClassName");
    EXPECT_EQ(TextOf(main), L"Tesmo");
    LONG style = ::GetWindowLongW(main, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CHILD), WS_POPUP | WS_CAPTION | WS_SYSMENU);
    EXPECT_NE(::GetWindow(main, GW_CHILD), nullptr);
    // Its own template holds no controls: every child is a panel.
    for (HWND child = ::GetWindow(main, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        EXPECT_EQ(ClassOf(child), L"#32770");

    HWND validator = Window(IDD_CLIENT_VALIDATOR);
    EXPECT_EQ(TextOf(validator), L"");
    EXPECT_EQ(::GetWindowLongW(validator, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_SYSMENU),
              WS_POPUP | WS_CAPTION | WS_SYSMENU);
}

TEST_F(TemplateWindows, PanelsAreBorderlessChildrenThatTabReaches) {
    for (WORD id : {IDD_SETTINGS_PANEL, IDD_STATUS_PANEL, IDD_SUCCESS_PANEL}) {
        HWND panel = Window(id);
        LONG style = ::GetWindowLongW(panel, GWL_STYLE);
        EXPECT_EQ(style & (WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE), WS_CHILD) << "panel " << id;
        EXPECT_TRUE(::GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) << "panel " << id;
        EXPECT_EQ(::GetParent(panel), Window(IDD_INSTALL_GUIDE));
    }
}

struct ExpectedControl {
    WORD panel;
    int id;
    const wchar_t* cls;
    const wchar_t* text;
    LONG type;   // the low style bits that make the control what it is
    LONG mask;
    bool tabStop;
};

constexpr LONG kButtonType = BS_TYPEMASK;
constexpr LONG kStaticAlign = SS_TYPEMASK;

const ExpectedControl kControls[] = {
    {IDD_SETTINGS_PANEL, IDC_INSTALL, L"Button", L"Install", BS_OWNERDRAW, kButtonType, true},
    {IDD_SETTINGS_PANEL, IDC_ACCEPT_CHECK, L"Button", L"I accept the License Terms", BS_PUSHBUTTON, kButtonType, true},
    {IDD_SETTINGS_PANEL, IDC_ACCEPT_LABEL, L"Static", L"I accept the", SS_LEFT, kStaticAlign, false},
    {IDD_SETTINGS_PANEL, IDC_LICENSE_LINK, L"Static", L"License Terms", SS_LEFT | SS_NOTIFY, kStaticAlign | SS_NOTIFY, true},
    {IDD_SETTINGS_PANEL, IDC_SETTINGS_HEADING, L"Static", L"Installation settings", SS_RIGHT | SS_NOTIFY, kStaticAlign | SS_NOTIFY, false},
    {IDD_SETTINGS_PANEL, IDC_SETTINGS_EXPANDER, L"Button", L"Installation settings", BS_PUSHBUTTON, kButtonType, true},
    {IDD_SETTINGS_PANEL, IDC_LANGUAGE_LABEL, L"Static", L"Please select a language:", SS_RIGHT, kStaticAlign, false},
    // The combo box hands WS_VSCROLL to its drop list, which shows it only when needed.
    {IDD_SETTINGS_PANEL, IDC_LANGUAGE_COMBO, L"ComboBox", L"", CBS_DROPDOWN | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
     0x3 | CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS, true},
    {IDD_SETTINGS_PANEL, IDC_FOLDER_LABEL, L"Static", L"Installation folder:", SS_RIGHT, kStaticAlign, false},
    {IDD_SETTINGS_PANEL, IDC_FOLDER_EDIT, L"Edit", L"", ES_AUTOHSCROLL, ES_AUTOHSCROLL | ES_MULTILINE | ES_READONLY, true},
    {IDD_SETTINGS_PANEL, IDC_BROWSE, L"Button", L"Browse...", BS_PUSHBUTTON, kButtonType, true},
    {IDD_STATUS_PANEL, IDC_STATUS_TEXT, L"Static", L"Downloading...", SS_LEFT, kStaticAlign, false},
    {IDD_STATUS_PANEL, IDC_TIME_TEXT, L"Static", L"Calculating Remaning Time...", SS_LEFT, kStaticAlign, false},
    {IDD_STATUS_PANEL, IDC_PERCENT_TEXT, L"Static", L"", SS_RIGHT, kStaticAlign, false},
    {IDD_SUCCESS_PANEL, IDC_START_NOW, L"Button", L"Start Now", BS_OWNERDRAW, kButtonType, true},
    {IDD_SUCCESS_PANEL, IDC_LAUNCH_CHECK, L"Button", L"Launch", BS_PUSHBUTTON, kButtonType, true},
    {IDD_SUCCESS_PANEL, IDC_LAUNCH_LABEL, L"Static", L"Launch", SS_LEFT, kStaticAlign, false},
    {IDD_CLIENT_VALIDATOR, IDC_VALIDATION_PROGRESS, L"msctls_progress32", L"Preparing...", PBS_MARQUEE, PBS_MARQUEE, false},
};

TEST_F(TemplateWindows, EveryControlIsAChildWindowOfItsClassStyleAndText) {
    for (const auto& c : kControls) {
        SCOPED_TRACE(::testing::Message() << "template " << c.panel << ", control " << c.id);
        HWND control = ::GetDlgItem(Window(c.panel), c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), c.cls);
        EXPECT_EQ(TextOf(control), c.text);
        LONG style = ::GetWindowLongW(control, GWL_STYLE);
        EXPECT_EQ(style & c.mask, c.type) << std::hex << "style 0x" << style;
        EXPECT_EQ((style & WS_TABSTOP) != 0, c.tabStop);
        EXPECT_TRUE(style & WS_VISIBLE);
    }
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    ASSERT_TRUE(::GetComboBoxInfo(::GetDlgItem(Window(IDD_SETTINGS_PANEL), IDC_LANGUAGE_COMBO), &combo));
    EXPECT_NE(combo.hwndItem, nullptr) << "a drop-down with an edit part";
    // No control beyond the listed ones (a combo box's edit part is its own child).
    for (WORD panel : {IDD_SETTINGS_PANEL, IDD_STATUS_PANEL, IDD_SUCCESS_PANEL, IDD_CLIENT_VALIDATOR}) {
        size_t listed = 0, found = 0;
        for (const auto& c : kControls) listed += c.panel == panel;
        for (HWND child = ::GetWindow(Window(panel), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            ++found;
        EXPECT_EQ(found, listed) << "template " << panel;
    }
}

std::vector<int> TabOrder(HWND dialog) {
    std::vector<int> ids;
    HWND first = ::GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (HWND at = first; at && ids.size() < 32;) {
        ids.push_back(::GetDlgCtrlID(at));
        at = ::GetNextDlgTabItem(dialog, at, FALSE);
        if (at == first) break;
    }
    return ids;
}

TEST_F(TemplateWindows, TabFollowsTheVisualOrderFromTheMainWindowIntoThePanel) {
    HWND main = Window(IDD_INSTALL_GUIDE);
    HWND settings = Window(IDD_SETTINGS_PANEL);
    // Only the visible panel takes part, as in the wizard.
    ::ShowWindow(settings, SW_SHOWNA);
    std::vector<int> expected = {IDC_INSTALL,         IDC_ACCEPT_CHECK, IDC_LICENSE_LINK, IDC_SETTINGS_EXPANDER,
                                 IDC_LANGUAGE_COMBO,  IDC_FOLDER_EDIT,  IDC_BROWSE};
    EXPECT_EQ(TabOrder(settings), expected);
    EXPECT_EQ(TabOrder(main), expected);
    ::ShowWindow(settings, SW_HIDE);
}

TEST_F(TemplateWindows, SizesFollowTheDialogFontAt96Dpi) {
    ASSERT_EQ(ScreenDpi(), 96) << "the test prefix should run at 96 dpi";
    BaseUnits base = MeasureBaseUnits(L"MS Shell Dlg", 8);
    ASSERT_GT(base.cx, 0);
    for (const auto& t : InstallerTemplates()) {
        SIZE expected = DialogUnitsToPixels(t.units, base);
        SIZE measured = ClientSize(Window(t.id));
        EXPECT_EQ(measured.cx, expected.cx) << "template " << t.id;
        EXPECT_EQ(measured.cy, expected.cy) << "template " << t.id;
    }
    // The dialog manager's own units agree with the measured font.
    RECT units{0, 0, 4, 8};
    ::MapDialogRect(Window(IDD_INSTALL_GUIDE), &units);
    EXPECT_EQ(units.right, base.cx);
    EXPECT_EQ(units.bottom, base.cy);
}

TEST_F(TemplateWindows, SettingsTemplateReachesTheDisplay) {
    HWND main = Window(IDD_INSTALL_GUIDE);
    HWND settings = Window(IDD_SETTINGS_PANEL);
    ::SetWindowPos(main, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::ShowWindow(settings, SW_SHOW);
    ::ShowWindow(main, SW_SHOW);
    ASSERT_TRUE(WaitForPaint(main, 10000));
    // The folder field's client area is the system's window colour; on the
    // screen it must sit exactly where the window's rectangles say it is.
    HWND edit = ::GetDlgItem(settings, IDC_FOLDER_EDIT);
    RECT field{};
    ::GetClientRect(edit, &field);
    ::MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&field), 2);
    RECT window{};
    ::GetWindowRect(main, &window);
    ::OffsetRect(&field, -window.left, -window.top);
    const Rgb fieldColor = RgbOf(::GetSysColor(COLOR_WINDOW));
    const Rgb face = RgbOf(::GetSysColor(COLOR_BTNFACE));
    // The sunken edge just left of it is dark.
    auto fieldShown = [&](const PixelBuffer& p) {
        return AreaFilled(p, field, fieldColor, 0) && !PixelNear(p, field.left - 1, field.top + 2, fieldColor, 40);
    };
    PixelBuffer shot;
    bool shown = WaitForCapture(main, fieldShown, shot, 10000);
    SaveScreenshot(shot, L"settings-template");
    ASSERT_TRUE(shown) << AreaFilled(shot, field, fieldColor, 0).message() << "; left edge "
                       << PixelNear(shot, field.left - 1, field.top + 2, fieldColor, 40).message();
    // Empty panel surface below the caption, above the Install button.
    POINT client{0, 0};
    ::ClientToScreen(main, &client);
    EXPECT_TRUE(PixelNear(shot, client.x - window.left + 10, client.y - window.top + 10, face, 0));
    ::ShowWindow(main, SW_HIDE);
    ::ShowWindow(settings, SW_HIDE);
}

struct HelperReport {
    int dpi = 0;
    BaseUnits base;
    std::map<int, SIZE> sizes;
};

HelperReport ParseReport(const std::string& text) {
    HelperReport report;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        if (word == "dpi") in >> report.dpi;
        else if (word == "base") in >> report.base.cx >> report.base.cy;
        else if (word == "template") {
            int id = 0;
            SIZE s{};
            in >> id >> s.cx >> s.cy;
            report.sizes[id] = s;
        }
    }
    return report;
}

TEST(DialogTemplatesAtDpi, SizesScaleWithTheDialogFontAt144Dpi) {
    BaseUnits base96 = MeasureBaseUnits(L"MS Shell Dlg", 8);
    ProcessResult run = RunAtDpi(144, L"\"" + BuildPath(L"dialog_metrics_helper.exe") + L"\"", 60000);
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    HelperReport report = ParseReport(run.output);
    ASSERT_EQ(report.dpi, 144) << run.output;
    // A font of 1.5 times the pixel height: its base units are about 1.5 times larger.
    EXPECT_NEAR(report.base.cy, base96.cy * 1.5, 1.0) << run.output;
    EXPECT_NEAR(report.base.cx, base96.cx * 1.5, 1.0) << run.output;
    for (const auto& t : InstallerTemplates()) {
        ASSERT_TRUE(report.sizes.count(t.id)) << run.output;
        SIZE expected = DialogUnitsToPixels(t.units, report.base);
        EXPECT_EQ(report.sizes[t.id].cx, expected.cx) << "template " << t.id << "\n" << run.output;
        EXPECT_EQ(report.sizes[t.id].cy, expected.cy) << "template " << t.id << "\n" << run.output;
    }
    EXPECT_EQ(ScreenDpi(), 96) << "this process keeps the resolution it started with";
}

}  // namespace
}  // namespace ovek::test
