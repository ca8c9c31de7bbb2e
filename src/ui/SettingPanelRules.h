#pragma once
// The settings page's arithmetic and folder rules, without the platform:
// where every control goes for a given client rectangle and measured text
// sizes, which folder texts are acceptable, and the folders that have to be
// created one level at a time.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ui/Scaling.h"

namespace ovek::settings {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Box&, const Box&) = default;
};
struct Extent {
    int cx = 0, cy = 0;
};
struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Text sizes as MeasureText gave them, each started from its design size.
struct MeasuredTexts {
    Extent acceptLabel;  // "I accept the"
    Extent link;         // "License Terms"
    Extent heading;      // "Installation settings"
    Extent languageLabel;
    Extent folderLabel;
    bool linkFirst = false;  // the sentence does not begin with the label
};

struct SettingsLayout {
    Box install;
    Box check;
    Box acceptLabel;
    Box link;
    Box heading;
    Box expander;
    Point separator;
    Box languageLabel;
    Box combo;  // the selection field; the window itself is taller for its list
    Box folderLabel;
    Box edit;
    Box browse;
};

// The design sizes the labels are measured from.
inline Extent AcceptTextStart(int dpiX, int dpiY) { return {ScaleBy(dpiX, 138), ScaleBy(dpiY, 16)}; }
inline Extent HeadingStart(int dpiX, int dpiY) { return {ScaleBy(dpiX, 110), ScaleBy(dpiY, 14)}; }
inline Extent RowLabelStart(int dpiX, int dpiY) { return {ScaleBy(dpiX, 144), ScaleBy(dpiY, 30)}; }

// The label comes first when the translated sentence begins with it; a
// missing text puts the link first.
inline bool LinkComesFirst(const std::wstring& sentence, const std::wstring& label) {
    if (sentence.empty() || label.empty()) return true;
    return sentence.compare(0, label.size(), label) != 0;
}

// The places of every control. Texts too wide for the page are given less
// room than they measured (their labels end in an ellipsis), so that no text
// reaches into a neighbour or beyond the page.
inline SettingsLayout LayOut(const Box& r, const MeasuredTexts& m, int dpiX, int dpiY) {
    auto sx = [&](int n) { return ScaleBy(dpiX, n); };
    auto sy = [&](int n) { return ScaleBy(dpiY, n); };
    const int w = r.Width();
    const int g = sx(4);
    const int margin = sx(16);
    SettingsLayout out;

    const int installWidth = sx(300), installHeight = sy(34);
    out.install.left = r.left + (w - installWidth) / 2;
    out.install.top = r.top + sx(174);
    out.install.right = out.install.left + installWidth;
    out.install.bottom = out.install.top + installHeight;

    // Acceptance row.
    const int y1 = out.install.bottom + sx(16);
    const int checkWidth = sx(16), checkHeight = sy(16);
    const Extent& firstText = m.linkFirst ? m.link : m.acceptLabel;
    const Extent& secondText = m.linkFirst ? m.acceptLabel : m.link;
    int first = firstText.cx, second = secondText.cx;
    const int textRoom = std::max(0, w - 2 * margin - checkWidth - g - sx(4));
    if (first + second > textRoom) {
        const int half = textRoom / 2;
        const int firstFits = std::min(first, std::max(half, textRoom - second));
        second = std::min(second, textRoom - firstFits);
        first = firstFits;
    }
    const int rowLeft = r.left + (w - checkWidth - first - second - g) / 2;
    out.check = {rowLeft, y1, rowLeft + checkWidth, y1 + checkHeight};
    Box firstBox{rowLeft + checkWidth + g, y1, rowLeft + checkWidth + g + first, y1 + firstText.cy};
    firstBox.top += sy(-1);
    firstBox.bottom += sy(-1);
    Box secondBox{firstBox.right + sx(4), firstBox.top, firstBox.right + sx(4) + second, firstBox.bottom};
    if (!m.linkFirst) secondBox.right = std::max(secondBox.right, r.right);  // the link takes the rest of the row
    secondBox.right = std::min(secondBox.right, r.right);
    out.acceptLabel = m.linkFirst ? secondBox : firstBox;
    out.link = m.linkFirst ? firstBox : secondBox;
    const int rowBottom = std::max(out.check.bottom, firstBox.bottom);

    // Section heading with its arrow, centred together.
    const int arrow = sx(16);
    const int headingWidth = std::min(m.heading.cx, std::max(0, w - 2 * margin - arrow - g));
    const int y2 = rowBottom + sy(28);
    const int x = r.right - (w - arrow - headingWidth - g) / 2 - arrow;
    out.expander = {x, y2, x + arrow, y2 + sy(16)};
    out.heading = {r.left, y2, std::max(r.left, x - g), y2 + m.heading.cy};
    out.separator = {r.left, y2 + sy(16) + sy(15)};

    // Language row; the combo box keeps at least a third of the row.
    const int y3 = y2 + sy(16) + sy(38);
    const int rowStart = r.left + sx(68), rowEnd = r.right - sx(68);
    const int minField = std::max(0, (rowEnd - rowStart) / 3);
    const int languageWidth = std::min(m.languageLabel.cx, std::max(0, rowEnd - rowStart - g - minField));
    out.languageLabel = {rowStart, y3, rowStart + languageWidth, y3 + m.languageLabel.cy};
    out.combo = {out.languageLabel.right + g, y3, std::max(out.languageLabel.right + g, rowEnd),
                 out.languageLabel.bottom};

    // Folder row under it, with room for the browse button on the right.
    const int down = out.combo.Height() + sy(14);
    out.edit = {out.combo.left, out.combo.top + down, out.combo.right - sy(24), out.combo.bottom + down};
    out.edit.right = std::max(out.edit.left, out.edit.right);
    out.browse = {out.edit.right, out.edit.top, out.edit.right + sy(24), out.edit.bottom};
    const int folderRight = out.edit.left - g;
    const int folderWidth = std::min(m.folderLabel.cx, std::max(0, folderRight - (r.left + margin)));
    out.folderLabel = {folderRight - folderWidth, out.edit.top, folderRight, out.edit.bottom};
    return out;
}

// The product's name under the icon: its measured size, centred, and no
// wider than the page allows (the text ends in an ellipsis then).
inline Box TitleBox(const Box& r, Extent text, int iconBottom, int dpiX) {
    const int room = std::max(0, r.Width() - 2 * ScaleBy(dpiX, 16));
    const int width = std::min(text.cx, room);
    const int left = r.left + (r.Width() - width) / 2;
    const int top = iconBottom + text.cy / 2;
    return {left, top, left + width, top + text.cy};
}

// Folders ---------------------------------------------------------------

// Longer folders are refused: the platform creates no directory beyond this
// length without the long-path prefix, and the packages install beneath it.
inline constexpr size_t kMaxFolderLength = 248;

inline bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// The one final backslash goes; a drive root keeps it ("C:\" rather than
// "C:", which names the drive's current folder).
inline std::wstring DropFinalBackslash(std::wstring p) {
    if (p.empty() || p.back() != L'\\') return p;
    if (p.size() == 3 && IsDriveLetter(p[0]) && p[1] == L':') return p;
    p.pop_back();
    return p;
}

// True for a folder that does not name one place whatever the current
// folder is: no drive and no leading backslash, and also a drive without its
// root ("C:name", relative to the drive's current folder).
inline bool IsRelativeFolder(const std::wstring& p) {
    if (p.empty()) return true;
    if (p[0] == L'\\') return false;
    if (p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == L':') return p.size() > 2 && p[2] != L'\\';
    return true;
}

// The partial paths to create, shortest first: "C:\a\b" gives "C:\a" and
// "C:\a\b". A drive ("C:") and the server and share of a network path
// ("\\server\share") cannot be created, so they are not listed; empty
// components (doubled backslashes) add no level.
inline std::vector<std::wstring> FolderLevels(const std::wstring& p) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    std::wstring prefix;
    if (p.rfind(L"\\\\", 0) == 0) {
        prefix = L"\\\\";
        start = 2;
    } else if (!p.empty() && p[0] == L'\\') {
        prefix = L"\\";
        start = 1;
    }
    const bool network = prefix.size() == 2;
    std::vector<std::wstring> levels;
    std::wstring built = prefix;
    int component = 0;
    while (start <= p.size()) {
        size_t end = p.find(L'\\', start);
        if (end == std::wstring::npos) end = p.size();
        const std::wstring part = p.substr(start, end - start);
        start = end + 1;
        if (part.empty()) continue;
        if (component > 0) built += L'\\';
        built += part;
        ++component;
        if (built.back() == L':') continue;
        if (network && component <= 2) continue;
        levels.push_back(built);
    }
    return levels;
}

// Where the folder picker starts, from the field's full path: a trailing
// backslash goes unless it follows a colon, then the path is cut at its last
// backslash until what is left exists. Empty: no preselection.
inline std::wstring PickerStart(std::wstring full, const std::function<bool(const std::wstring&)>& exists) {
    if (full.empty()) return full;
    if (full.size() >= 2 && full.back() == L'\\' && full[full.size() - 2] != L':') full.pop_back();
    while (!full.empty() && !exists(full)) {
        const size_t cut = full.rfind(L'\\');
        if (cut == std::wstring::npos) return {};
        std::wstring shorter = full.substr(0, cut);
        // "C:" is the drive's current folder: its root is meant.
        if (shorter.size() == 2 && shorter[1] == L':') shorter += L'\\';
        if (shorter.empty() || shorter == full) return {};
        full = std::move(shorter);
    }
    return full;
}

}  // namespace ovek::settings
