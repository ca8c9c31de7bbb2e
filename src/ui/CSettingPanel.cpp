#include "ui/CSettingPanel.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "controls/ImageCache.h"
#include "engine/EngineText.h"
#include "framework/MessageBox.h"
#include "i18n/RegionRule.h"
#include "manifest/InstallerContext.h"
#include "res/resource.h"
#include "ui/CInstallGuide.h"
#include "ui/Theme.h"

namespace ovek {

namespace {

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kActiveFrame = Rgb(54, 138, 211);
// Single-line labels end in an ellipsis rather than spill out of their box.
constexpr UINT kLabelFormat = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

std::wstring Text(const UiTextEntry& entry) { return TheContext().language.LookUpText(entry); }

settings::Box ToBox(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

struct PidlTraits {
    using Type = PIDLIST_ABSOLUTE;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::CoTaskMemFree(h); }
};
using UniquePidl = ScopedHandle<PidlTraits>;

int CALLBACK PickerCallback(HWND picker, UINT msg, LPARAM lp, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) {
        ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, data);
    } else if (msg == BFFM_SELCHANGED) {
        wchar_t path[MAX_PATH]{};
        const BOOL hasPath = lp && ::SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lp), path);
        ::SendMessageW(picker, BFFM_ENABLEOK, 0, hasPath ? TRUE : FALSE);
    }
    return 0;
}

}  // namespace

bool CSettingPanel::OnInitDialog() {
    CGuidePanel::OnInitDialog();
    SetUpControls();
    FillLanguages();
    ::SetWindowTextW(folder_.Handle(), TheContext().installFolder.c_str());
    accepted_ = UserRegionNeedsConsent() ? 0 : 1;
    UpdateAcceptance();
    UpdateExpander();
    return false;
}

void CSettingPanel::SetUpControls() {
    HWND h = Handle();
    const ThemePalette& p = Palette();
    install_.Bind(h, IDC_INSTALL);
    install_.SetCaption(Text(IDS_INSTALL));
    for (auto [button, id] : {std::pair{&check_, IDC_ACCEPT_CHECK}, std::pair{&expander_, IDC_SETTINGS_EXPANDER}}) {
        button->Bind(h, id);
        button->SetColors(p.WindowBackground, p.WindowBackground, p.WindowBackground, p.WindowBackground, L"");
    }
    struct Label {
        COvekStatic& label;
        int id;
        const UiTextEntry& text;
        UINT format;
    };
    const Label labels[] = {
        {acceptLabel_, IDC_ACCEPT_LABEL, IDS_ACCEPT_LICENSE_TERMS, DT_LEFT | DT_BOTTOM},
        {heading_, IDC_SETTINGS_HEADING, IDS_INSTALL_SETTINGS, DT_RIGHT | DT_BOTTOM},
        {languageLabel_, IDC_LANGUAGE_LABEL, IDS_SELECT_LANG, DT_RIGHT | DT_VCENTER},
        {folderLabel_, IDC_FOLDER_LABEL, IDS_INSTALL_FOLDER, DT_RIGHT | DT_VCENTER},
        {link_, IDC_LICENSE_LINK, IDS_LINK_LICENSE_TERMS, DT_LEFT | DT_BOTTOM},
    };
    for (const Label& l : labels) {
        l.label.Bind(h, l.id);
        const bool isLink = &l.label == &link_;
        l.label.SetFont(isLink ? Fonts().tahoma14Underlined : Fonts().tahoma14);
        const Color color = isLink ? kLicenceLinkColor : p.LabelText;
        l.label.SetColors(p.WindowBackground, color, color);
        l.label.SetFormat(l.format | kLabelFormat);
        l.label.SetText(Text(l.text));
    }
    link_.SetLink(true);
    languageLabel_.SetLink(true);
    folderLabel_.SetLink(true);

    folder_.Bind(h, IDC_FOLDER_EDIT);
    folder_.SetColors(p.FieldBackground, kActiveFrame, p.FieldBackground, kWhite);
    folder_.SetMode(EditMode::Text);

    language_.BindDlgItem(h, IDC_LANGUAGE_COMBO);
    language_.SetReadOnly(true);
    language_.faceColor = p.FieldBackground;
    language_.idleFrameColor = p.FieldBackground;
    language_.dropButtonColor = p.FieldButton;
    language_.SetFont(Fonts().tahoma14);
    ::SendMessageW(language_.Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), UnsteppedY(24));

    browse_.Bind(h, IDC_BROWSE);
    browse_.SetColors(p.FieldButton, p.FieldButton, p.FieldButton, p.FieldButton, L"...");
}

void CSettingPanel::FillLanguages() {
    HWND combo = language_.Handle();
    const std::vector<LanguageChoice> languages = TheContext().Languages();
    const int32_t chosen = TheContext().language.LanguageId();
    int selection = 0;
    for (size_t i = 0; i < languages.size(); ++i) {
        const LRESULT index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(languages[i].name.c_str()));
        if (index < 0) continue;
        ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(index), UnsteppedY(24));
        if (languages[i].id == chosen) selection = static_cast<int>(i);
    }
    if (!languages.empty()) ::SendMessageW(combo, CB_SETCURSEL, selection, 0);
}

void CSettingPanel::UpdateAcceptance() {
    if (auto picture = LoadResourcePicture(ThemePictureId(accepted_ ? Picture::CheckTicked : Picture::CheckEmpty)))
        check_.SetPicture(picture->bitmap.get(), {picture->width, picture->height});
    if (check_.Handle()) ::InvalidateRect(check_.Handle(), nullptr, FALSE);
    install_.SetEnabled(accepted_ != 0);
}

void CSettingPanel::UpdateExpander() {
    if (auto picture = LoadResourcePicture(ThemePictureId(collapsed_ ? Picture::ChevronDown : Picture::ChevronUp)))
        expander_.SetPicture(picture->bitmap.get(), {picture->width, picture->height});
    if (expander_.Handle()) ::InvalidateRect(expander_.Handle(), nullptr, FALSE);
}

SIZE CSettingPanel::GetPanelSize() {
    return {ScaleX(660), ScaleY(446) - (collapsed_ ? ScaleY(120) : 0)};
}

void CSettingPanel::ApplyTexts() {
    install_.SetCaption(Text(IDS_INSTALL));
    if (install_.Handle()) ::InvalidateRect(install_.Handle(), nullptr, FALSE);
    acceptLabel_.SetText(Text(IDS_ACCEPT_LICENSE_TERMS));
    link_.SetText(Text(IDS_LINK_LICENSE_TERMS));
    heading_.SetText(Text(IDS_INSTALL_SETTINGS));
    languageLabel_.SetText(Text(IDS_SELECT_LANG));
    folderLabel_.SetText(Text(IDS_INSTALL_FOLDER));
    LayoutControls(ClientRect());
}

void CSettingPanel::PlaceWindow(HWND control, const settings::Box& box, int extraHeight) {
    if (control) ::MoveWindow(control, box.left, box.top, box.Width(), box.Height() + extraHeight, TRUE);
}

void CSettingPanel::LayoutControls(const RECT& rect) {
    if (!Handle() || !install_.Handle()) return;
    const ScreenResolution& dpi = Resolution();
    HFONT font = Fonts().tahoma14Underlined;
    settings::MeasuredTexts m;
    const settings::Extent acceptStart = settings::AcceptTextStart(dpi.dpiX, dpi.dpiY);
    auto measure = [&](const std::wstring& text, settings::Extent start) {
        SIZE size{start.cx, start.cy};
        MeasureText(text, font, size);
        return settings::Extent{size.cx, size.cy};
    };
    const std::wstring label = Text(IDS_ACCEPT_LICENSE_TERMS);
    m.acceptLabel = measure(label, acceptStart);
    m.link = measure(Text(IDS_LINK_LICENSE_TERMS), acceptStart);
    m.heading = measure(Text(IDS_INSTALL_SETTINGS), settings::HeadingStart(dpi.dpiX, dpi.dpiY));
    m.languageLabel = measure(Text(IDS_SELECT_LANG), settings::RowLabelStart(dpi.dpiX, dpi.dpiY));
    m.folderLabel = measure(Text(IDS_INSTALL_FOLDER), settings::RowLabelStart(dpi.dpiX, dpi.dpiY));
    m.linkFirst = settings::LinkComesFirst(Text(IDS_ACCEPT_LICENSE_SENTENCE), label);

    layout_ = settings::LayOut(ToBox(rect), m, dpi.dpiX, dpi.dpiY);
    PlaceWindow(install_.Handle(), layout_.install);
    PlaceWindow(check_.Handle(), layout_.check);
    PlaceWindow(acceptLabel_.Handle(), layout_.acceptLabel);
    PlaceWindow(link_.Handle(), layout_.link);
    PlaceWindow(heading_.Handle(), layout_.heading);
    PlaceWindow(expander_.Handle(), layout_.expander);
    PlaceWindow(languageLabel_.Handle(), layout_.languageLabel);
    // A drop-down box's window height includes its list.
    PlaceWindow(language_.Handle(), layout_.combo, UnsteppedY(24) * 8);
    PlaceWindow(folderLabel_.Handle(), layout_.folderLabel);
    PlaceWindow(folder_.Handle(), layout_.edit);
    PlaceWindow(browse_.Handle(), layout_.browse);
    separator_ = {layout_.separator.x, layout_.separator.y};
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void CSettingPanel::DrawContent(CMemorySurface& surface) {
    HDC dc = surface.dc();
    const RECT r = surface.Bounds();
    const int iconSize = ScaleX(64);
    if (!icon_)
        icon_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                    iconSize, iconSize, 0)));
    const int iconLeft = r.left + ((r.right - r.left) - iconSize) / 2;
    const int iconTop = r.top + ScaleX(48);
    if (icon_) ::DrawIconEx(dc, iconLeft, iconTop, icon_.get(), iconSize, iconSize, 0, nullptr, DI_NORMAL);

    const std::wstring& name = TheContext().manifest.fullName;
    if (!name.empty() && Fonts().arial32Bold) {
        SIZE size{0, 0};
        MeasureText(name, Fonts().arial32Bold, size);
        const settings::Box box =
            settings::TitleBox(ToBox(r), {size.cx, size.cy}, iconTop + iconSize, Resolution().dpiX);
        RECT text{box.left, box.top, box.right, box.bottom};
        CSelectObject selected(dc, Fonts().arial32Bold);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, Palette().TitleText);
        ::DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                    DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (separator_.x != 0 || separator_.y != 0)
        FillSolid(dc, RECT{separator_.x, separator_.y, r.right, separator_.y + 1}, kSeparatorColor);
}

bool CSettingPanel::CanClose() {
    return ShowMessageBox(Handle(), Text(IDS_MESSAGE_CANCELNOTICE), TheContext().manifest.shortName,
                          MB_YESNO | MB_ICONWARNING) == IDYES;
}

bool CSettingPanel::OnCommand(int id, int notification, HWND control) {
    (void)control;
    switch (id) {
    case IDC_INSTALL:
        if (notification == BN_CLICKED && ::IsWindowVisible(Handle()) && CheckInstall()) GoNext();
        return true;
    case IDC_ACCEPT_CHECK:
        if (notification != BN_CLICKED) return false;
        accepted_ = accepted_ ? 0 : 1;
        UpdateAcceptance();
        return true;
    case IDC_SETTINGS_EXPANDER:
    case IDC_SETTINGS_HEADING:
        if (notification != BN_CLICKED) return false;  // STN_CLICKED is the same code
        ToggleSection();
        return true;
    case IDC_LANGUAGE_COMBO:
        if (notification != CBN_SELENDOK) return false;
        ChooseLanguage();
        return true;
    case IDC_BROWSE:
        if (notification != BN_CLICKED) return false;
        Browse();
        return true;
    case IDC_LICENSE_LINK:
        if (notification != STN_CLICKED) return false;
        ::ShellExecuteW(Handle(), L"open", TheContext().language.LookUpLink(IDS_RLINK_TERMS).c_str(), nullptr, nullptr,
                        SW_SHOWNORMAL);
        return true;
    default:
        return false;
    }
}

void CSettingPanel::ToggleSection() {
    collapsed_ = collapsed_ ? 0 : 1;
    if (CInstallGuide* guide = Guide()) guide->FitToPanel();
    UpdateExpander();
}

void CSettingPanel::ChooseLanguage() {
    const std::vector<LanguageChoice> languages = TheContext().Languages();
    const LRESULT index = ::SendMessageW(language_.Handle(), CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= languages.size()) return;
    TheContext().language.SetLanguageId(languages[static_cast<size_t>(index)].id);
    ApplyTexts();
}

bool CSettingPanel::CheckInstall() {
    if (!accepted_) return false;
    const std::wstring folder = settings::DropFinalBackslash(WindowText(folder_.Handle()));
    if (folder.size() > settings::kMaxFolderLength || settings::IsRelativeFolder(folder)) {
        RefuseFolder(folder);
        return false;
    }
    if (!IsDirectory(folder)) {
        for (const std::wstring& level : settings::FolderLevels(folder)) {
            if (Exists(level)) continue;
            if (!::CreateDirectoryW(level.c_str(), nullptr)) break;
        }
        // A level that is a file, or one that could not be made, leaves no folder.
        if (!IsDirectory(folder)) {
            RefuseFolder(folder);
            return false;
        }
    }
    TheContext().SetInstallFolder(folder);
    ::SetWindowTextW(folder_.Handle(), folder.c_str());
    return true;
}

void CSettingPanel::RefuseFolder(const std::wstring& folder) {
    ShowMessageBox(Handle(), FormatText(Text(IDS_ERR_CREATE_FOLDER_FAILED), {folder}),
                   TheContext().manifest.shortName, MB_OK | MB_ICONWARNING);
    ::SetWindowTextW(folder_.Handle(), TheContext().installFolder.c_str());
}

void CSettingPanel::Browse() {
    std::wstring initial;
    const std::wstring typed = WindowText(folder_.Handle());
    if (!typed.empty()) {
        wchar_t full[MAX_PATH]{};
        const DWORD length = ::GetFullPathNameW(typed.c_str(), MAX_PATH, full, nullptr);
        if (length > 0 && length < MAX_PATH) initial = settings::PickerStart(full, Exists);
    }
    const std::wstring chosen = PickFolder(initial);
    if (chosen.empty()) return;
    TheContext().SetInstallFolder(chosen);
    ::SetWindowTextW(folder_.Handle(), chosen.c_str());
}

std::wstring CSettingPanel::PickFolder(const std::wstring& initial) {
    const std::wstring title = Text(IDS_BROWSE_DEST_FOLDER);
    BROWSEINFOW info{};
    info.hwndOwner = Handle();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = PickerCallback;
    info.lParam = initial.empty() ? 0 : reinterpret_cast<LPARAM>(initial.c_str());
    UniquePidl chosen(::SHBrowseForFolderW(&info));
    if (!chosen) return {};
    wchar_t path[MAX_PATH]{};
    if (!::SHGetPathFromIDListW(chosen.get(), path)) return {};
    return path;
}

LRESULT CSettingPanel::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT color = 0;
    if (COvekEdit::ReflectColor(msg, wp, lp, color)) return color;
    return CGuidePanel::WindowProc(msg, wp, lp);
}

}  // namespace ovek
