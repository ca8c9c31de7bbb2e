// The settings page in a real wizard window: acceptance by region, the
// folder check, the language switch, the collapsible section and the close
// question. Message boxes are answered by the test's handler.
#include <gtest/gtest.h>

#include <vector>

#include "SettingsFixture.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "ui/Theme.h"

namespace ovek {
namespace {

using test::Click;
using test::SettingsGuide;
using test::TestSettingPanel;
using test::TextOf;

class SettingsPanel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::RegisterInstallerWindowClass());
        CreateSharedFonts();
        folder = test::MakeTempFolder(L"settings-panel");
        test::UseSampleContext(folder);
        previous = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes.push_back(r);
            return answer;
        });
    }
    void TearDown() override {
        SetMessageBoxHandler(previous);
        TheContext().language.SetLanguageId(1033);
        ReleaseSharedFonts();
    }
    // Runs the wizard with the script; false when the script never ran.
    bool Run(const std::function<void(SettingsGuide&, TestSettingPanel&)>& script) {
        bool ran = false;
        SettingsGuide guide;
        guide.script = [&](SettingsGuide& g, TestSettingPanel& p) {
            ran = true;
            script(g, p);
        };
        guide.Run();
        return ran;
    }
    HWND Item(TestSettingPanel& p, int id) { return ::GetDlgItem(p.Handle(), id); }
    void SetFolderText(TestSettingPanel& p, const std::wstring& text) {
        ::SetWindowTextW(Item(p, IDC_FOLDER_EDIT), text.c_str());
    }

    test::ScopedNation nation{L"244"};  // a region that needs no explicit tick
    std::wstring folder;
    std::vector<MessageBoxRequest> boxes;
    int answer = IDOK;
    MessageBoxHandler previous;
};

bool IsDir(const std::wstring& p) {
    const DWORD a = ::GetFileAttributesW(p.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Blue of the ticked box's picture.
int TickedPixels(HWND check) {
    test::PixelBuffer shot;
    test::WaitForCapture(check, [](const test::PixelBuffer&) { return true; }, shot, 2000);
    return test::CountColor(shot, {7, 165, 216}, 60, {0, 0, shot.Width(), shot.Height()});
}

TEST_F(SettingsPanel, ConsentRegionStartsUntickedWithInstallDisabled) {
    test::ScopedNation germany(L"94");
    ASSERT_TRUE(Run([&](SettingsGuide& g, TestSettingPanel& p) {
        HWND install = Item(p, IDC_INSTALL), check = Item(p, IDC_ACCEPT_CHECK);
        ASSERT_TRUE(test::WaitForPaint(g.Handle(), 10000));
        EXPECT_FALSE(p.Accepted());
        EXPECT_FALSE(::IsWindowEnabled(install));
        EXPECT_EQ(TickedPixels(check), 0);
        Click(install);  // deaf while disabled
        EXPECT_EQ(g.CurrentKey(), 0);

        Click(check);
        EXPECT_TRUE(p.Accepted());
        EXPECT_TRUE(::IsWindowEnabled(install));
        EXPECT_TRUE(test::WaitUntil([&] { return TickedPixels(check) > 20; }, 5000)) << "no tick on the screen";
        Click(install);
        EXPECT_EQ(g.CurrentKey(), 1);
        EXPECT_TRUE(boxes.empty());
    }));
}

TEST_F(SettingsPanel, OtherRegionsStartTicked) {
    ASSERT_TRUE(Run([&](SettingsGuide&, TestSettingPanel& p) {
        EXPECT_TRUE(p.Accepted());
        EXPECT_TRUE(::IsWindowEnabled(Item(p, IDC_INSTALL)));
        EXPECT_EQ(TextOf(Item(p, IDC_FOLDER_EDIT)), folder);
    }));
}

TEST_F(SettingsPanel, InstallStoresTheFolderWithoutItsFinalBackslashAndMovesOn) {
    ASSERT_TRUE(Run([&](SettingsGuide& g, TestSettingPanel& p) {
        SetFolderText(p, folder + L"\\kavro\\");
        Click(Item(p, IDC_INSTALL));
        EXPECT_EQ(g.CurrentKey(), 1);
        EXPECT_EQ(TheContext().installFolder, folder + L"\\kavro");
        EXPECT_TRUE(IsDir(folder + L"\\kavro"));
    }));
}

TEST_F(SettingsPanel, FolderCheck) {
    wchar_t missingDrive = 0;
    const DWORD drives = ::GetLogicalDrives();
    for (wchar_t d = L'Q'; d <= L'Y' && !missingDrive; ++d)
        if (!(drives & (1u << (d - L'A')))) missingDrive = d;
    ASSERT_NE(missingDrive, 0);
    const std::wstring longFolder = folder + L"\\" + std::wstring(300 - folder.size() - 1, L'x');
    ASSERT_EQ(longFolder.size(), 300u);
    const std::wstring file = folder + L"\\a-file";
    UniqueHandle made(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(made);
    made.reset();

    struct Case {
        std::wstring typed;
        std::wstring stored;  // empty: refused, naming `refused`
        std::wstring refused;
    };
    const Case cases[] = {
        {folder + L"\\n1\\n2\\n3", folder + L"\\n1\\n2\\n3", L""},  // three missing levels
        {folder + L"\\dup\\\\twice", folder + L"\\dup\\\\twice", L""},
        {L"relative\\folder\\", L"", L"relative\\folder"},
        {L"C:relative", L"", L"C:relative"},
        {longFolder, L"", longFolder},
        {std::wstring(1, missingDrive) + L":\\kavro\\", L"", std::wstring(1, missingDrive) + L":\\kavro"},
        {file + L"\\inside", L"", file + L"\\inside"},
        {file, L"", file},
        {L"\\", L"", L""},
    };
    ASSERT_TRUE(Run([&](SettingsGuide&, TestSettingPanel& p) {
        HWND edit = Item(p, IDC_FOLDER_EDIT);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::PrintToString(c.typed));
            const std::wstring lastGood = TheContext().installFolder;
            boxes.clear();
            SetFolderText(p, c.typed);
            const bool ok = p.CheckInstall();
            EXPECT_EQ(ok, !c.stored.empty());
            if (ok) {
                EXPECT_EQ(TheContext().installFolder, c.stored);
                EXPECT_TRUE(IsDir(c.stored));
                EXPECT_TRUE(boxes.empty());
                continue;
            }
            EXPECT_EQ(TheContext().installFolder, lastGood);
            EXPECT_EQ(TextOf(edit), lastGood);  // the last good folder is back
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, L"The specified path " + c.refused + L" is unavailable.");
            EXPECT_EQ(boxes[0].caption, L"KAVRO");
            EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
        }
    }));
    EXPECT_FALSE(IsDir(longFolder));
    EXPECT_FALSE(IsDir(std::wstring(1, missingDrive) + L":\\kavro"));
}

TEST_F(SettingsPanel, RefusedFolderKeepsTheWizardOnTheSettingsPage) {
    ASSERT_TRUE(Run([&](SettingsGuide& g, TestSettingPanel& p) {
        SetFolderText(p, L"kavro");
        Click(Item(p, IDC_INSTALL));
        EXPECT_EQ(g.CurrentKey(), 0);
        EXPECT_EQ(boxes.size(), 1u);
    }));
}

// Width of a text in the font the panel measures its labels with.
int TextWidth(const std::wstring& text) {
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, Fonts().tahoma14Underlined);
    SIZE s{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return s.cx;
}

RECT ChildRect(HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(SettingsPanel, ChoosingGermanReReadsEveryTextAndReCentresTheRow) {
    ASSERT_TRUE(Run([&](SettingsGuide& g, TestSettingPanel& p) {
        HWND combo = Item(p, IDC_LANGUAGE_COMBO);
        ASSERT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
        wchar_t name[32]{};
        ::SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(name));
        EXPECT_STREQ(name, L"Deutsch");
        ASSERT_TRUE(test::WaitForPaint(g.Handle(), 10000));
        test::SaveScreenshot(test::CaptureWindow(g.Handle()), L"settings-english-96");
        const RECT englishCheck = ChildRect(Item(p, IDC_ACCEPT_CHECK));

        ::SendMessageW(combo, CB_SETCURSEL, 1, 0);
        ::SendMessageW(p.Handle(), WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_COMBO, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(TheContext().language.LanguageId(), 1031);
        EXPECT_EQ(TextOf(Item(p, IDC_INSTALL)), L"Installieren");
        EXPECT_EQ(TextOf(Item(p, IDC_ACCEPT_LABEL)), L"Ich akzeptiere die");
        EXPECT_EQ(TextOf(Item(p, IDC_LICENSE_LINK)), L"Lizenzbedingungen");
        EXPECT_EQ(TextOf(Item(p, IDC_SETTINGS_HEADING)), L"Installationseinstellungen");
        EXPECT_EQ(TextOf(Item(p, IDC_LANGUAGE_LABEL)), L"Bitte w\u00e4hlen Sie eine Sprache:");
        EXPECT_EQ(TextOf(Item(p, IDC_FOLDER_LABEL)), L"Installationsordner:");

        // The row is centred again on the German widths.
        RECT client{};
        ::GetClientRect(p.Handle(), &client);
        const int row = ScaleX(16) + ScaleX(4) + TextWidth(L"Ich akzeptiere die") + TextWidth(L"Lizenzbedingungen");
        const RECT check = ChildRect(Item(p, IDC_ACCEPT_CHECK));
        EXPECT_EQ(check.left, (client.right - row) / 2);
        EXPECT_NE(check.left, englishCheck.left);
        const RECT label = ChildRect(Item(p, IDC_ACCEPT_LABEL));
        EXPECT_EQ(label.left, check.right + ScaleX(4));
        EXPECT_EQ(ChildRect(Item(p, IDC_LICENSE_LINK)).left, label.right + ScaleX(4));

        ASSERT_TRUE(test::WaitForPaint(g.Handle(), 10000));
        test::PumpMessages();
        test::SaveScreenshot(test::CaptureWindow(g.Handle()), L"settings-german-96");
        // The close question is asked in German too.
        answer = IDNO;
        ::SendMessageW(g.Handle(), WM_CLOSE, 0, 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, L"M\u00f6chten Sie die Installation wirklich abbrechen?");
    }));
}

TEST_F(SettingsPanel, MissingTranslationsFallBackAndLongOnesStayInTheirBoxes) {
    const std::wstring languages = test::MakeTempFolder(L"settings-languages");
    ::CreateDirectoryW((languages + L"\\1031").c_str(), nullptr);
    {
        const std::wstring ini = languages + L"\\1031\\string.ini";
        const std::wstring text = L"\xFEFF[LANGUAGE]\r\nTitle=Deutsch\r\n[UISTRING]\r\nIDS_INSTALL=Installieren\r\n"
                                  L"IDS_SELECT_LANG=" + std::wstring(200, L'W') + L"\r\n";
        HANDLE f = ::CreateFileW(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(f, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
        ::CloseHandle(f);
    }
    TheContext().language.SetFolder(languages + L"\\");
    ASSERT_TRUE(Run([&](SettingsGuide& g, TestSettingPanel& p) {
        HWND combo = Item(p, IDC_LANGUAGE_COMBO);
        ::SendMessageW(combo, CB_SETCURSEL, 1, 0);
        ::SendMessageW(p.Handle(), WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_COMBO, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(TextOf(Item(p, IDC_INSTALL)), L"Installieren");
        EXPECT_EQ(TextOf(Item(p, IDC_ACCEPT_LABEL)), L"I accept the");
        EXPECT_EQ(TextOf(Item(p, IDC_LICENSE_LINK)), L"License Terms");
        EXPECT_EQ(TextOf(Item(p, IDC_FOLDER_LABEL)), L"Installation folder:");
        // The long label is cut, not laid over the language box.
        RECT label = ChildRect(Item(p, IDC_LANGUAGE_LABEL)), box = ChildRect(combo), overlap{};
        EXPECT_FALSE(::IntersectRect(&overlap, &label, &box));
        EXPECT_GE(label.left, 0);
        EXPECT_GT(box.right - box.left, ScaleX(100));
        ASSERT_TRUE(test::WaitForPaint(g.Handle(), 10000));
        test::SaveScreenshot(test::CaptureWindow(g.Handle()), L"settings-long-label-96");
    }));
}

TEST_F(SettingsPanel, CollapsingShortensTheWindowAndKeepsItsCorner) {
    ASSERT_TRUE(Run([&](SettingsGuide& g, TestSettingPanel& p) {
        HWND h = g.Handle();
        const SIZE expanded = test::WindowSize(h);
        EXPECT_EQ(expanded.cx, ScaleX(660) + 2 * ScaleX(1));
        EXPECT_EQ(expanded.cy, ScaleY(446));
        if (Resolution().dpiY == 96) {
            EXPECT_EQ(expanded.cx, 662);
            EXPECT_EQ(expanded.cy, 446);
        }
        RECT before{};
        ::GetWindowRect(h, &before);
        for (int id : {IDC_SETTINGS_EXPANDER, IDC_SETTINGS_HEADING}) {
            Click(Item(p, id));
            EXPECT_TRUE(p.Collapsed());
            RECT after{};
            ::GetWindowRect(h, &after);
            EXPECT_EQ(after.left, before.left);
            EXPECT_EQ(after.top, before.top);
            EXPECT_EQ(after.right - after.left, expanded.cx);
            EXPECT_EQ(after.bottom - after.top, expanded.cy - ScaleY(120));
            EXPECT_EQ(p.GetPanelSize().cy, ScaleY(326));
            Click(Item(p, id));
            EXPECT_FALSE(p.Collapsed());
            EXPECT_EQ(test::WindowSize(h).cy, expanded.cy);
        }
    }));
}

TEST_F(SettingsPanel, CloseAsksAndOnlyYesEnds) {
    SettingsGuide guide;
    bool stillOpen = false;
    guide.endAfterScript = false;
    guide.script = [&](SettingsGuide& g, TestSettingPanel&) {
        answer = IDNO;
        ::SendMessageW(g.Handle(), WM_CLOSE, 0, 0);
        stillOpen = ::IsWindow(g.Handle()) != FALSE;
        answer = IDYES;
        ::PostMessageW(g.Handle(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(guide.Run(), IDCANCEL);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"Are you sure you want to cancel the installing process?");
    EXPECT_EQ(boxes[0].caption, L"KAVRO");
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
}

TEST_F(SettingsPanel, BrowseStartsAtTheNearestFolderAndStoresTheChoice) {
    ASSERT_TRUE(Run([&](SettingsGuide&, TestSettingPanel& p) {
        HWND browse = Item(p, IDC_BROWSE);
        SetFolderText(p, folder + L"\\not\\there\\");
        p.pickerAnswer = L"";
        Click(browse);
        EXPECT_EQ(p.picks, 1);
        EXPECT_EQ(p.pickerStart, folder);
        EXPECT_EQ(TheContext().installFolder, folder);  // cancelled: nothing changes

        SetFolderText(p, L"");
        p.pickerAnswer = folder + L"\\picked";
        Click(browse);
        EXPECT_EQ(p.pickerStart, L"");
        EXPECT_EQ(TheContext().installFolder, folder + L"\\picked");
        EXPECT_EQ(TextOf(Item(p, IDC_FOLDER_EDIT)), folder + L"\\picked");
        EXPECT_FALSE(IsDir(folder + L"\\picked"));  // nothing is created before Install
    }));
}

// At 144 dpi, in a process of its own: 990 + 2 by 669, 180 shorter collapsed.
TEST(SettingsPanelDpi, SizesAt144Dpi) {
    const test::ProcessResult r =
        test::RunAtDpi(144, L"\"" + test::BuildPath(L"settings_dpi_helper.exe") + L"\" 144 992 669 489", 60000);
    ASSERT_TRUE(r.exitCode.has_value()) << r.output;
    EXPECT_EQ(*r.exitCode, 0u) << r.output;
}

}  // namespace
}  // namespace ovek
