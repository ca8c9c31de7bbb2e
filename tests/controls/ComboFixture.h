#pragma once
// A test dialog holding one language box between two buttons, set up the
// way the settings panel sets up its box, for the box's tests and its
// resolution helper.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/COvekComboBox.h"
#include "controls/ImageCache.h"
#include "framework/DialogTemplate.h"
#include "framework/Window.h"
#include "support/WindowTesting.h"
#include "ui/Scaling.h"
#include "ui/Theme.h"

namespace ovek::test {

inline constexpr WORD kBeforeId = 201;
inline constexpr WORD kComboId = 141;
inline constexpr WORD kAfterId = 202;

struct Posted {
    UINT msg;
    WPARAM wp;
};

class ComboDialog : public CDialog {
public:
    std::vector<Posted> posted;      // WM_USER+5..7
    std::vector<int> notifications;  // the box's WM_COMMAND codes

    int Count(UINT msg) const {
        int n = 0;
        for (const Posted& p : posted) n += p.msg == msg;
        return n;
    }
    int CountNotification(int code) const {
        int n = 0;
        for (int c : notifications) n += c == code;
        return n;
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg >= kComboItemRightClicked && msg <= kComboPointerLeft) {
            posted.push_back({msg, wp});
            return 0;
        }
        if (msg == WM_COMMAND && LOWORD(wp) == kComboId) notifications.push_back(HIWORD(wp));
        return CDialog::WindowProc(msg, wp, lp);
    }
};

// The dialog, shown at (x, y) on the screen, with its box bound and filled.
class ComboHarness {
public:
    HWND dialog = nullptr;
    HWND combo = nullptr;
    ComboDialog window;
    std::unique_ptr<COvekComboBox> box;
    UniqueModule pictures = LoadInstallerResources();
    bool usePictures = true;  // false: the program's own module, which has none

    // Dialog units: the box is 130 x 12 (about 195 x 20 pixels at 96 dpi
    // with the template font); its full height gives the platform room for
    // the list.
    bool Open(const std::vector<std::wstring>& items, int selection, int x = 100, int y = 100) {
        CreateSharedFonts();
        CDialogTemplate t(WS_POPUP | WS_VISIBLE | WS_BORDER, 200, 140);
        t.Add(L"BUTTON", L"Before", kBeforeId, WS_TABSTOP | BS_PUSHBUTTON, 10, 10, 50, 14);
        t.Add(L"COMBOBOX", L"", kComboId,
              WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | CBS_AUTOHSCROLL, 10,
              30, 130, 100);
        t.Add(L"BUTTON", L"After", kAfterId, WS_TABSTOP | BS_PUSHBUTTON, 10, 110, 50, 14);
        dialog = window.Create(nullptr, t.get());
        if (!dialog) return false;
        ::SetWindowPos(dialog, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        combo = ::GetDlgItem(dialog, kComboId);
        box = std::make_unique<COvekComboBox>(usePictures ? pictures.get() : nullptr);
        if (!box->Bind(combo)) return false;
        // As the settings panel sets its language box up.
        box->SetReadOnly(true);
        box->faceColor = Palette().FieldBackground;
        box->dropButtonColor = Palette().FieldButton;
        box->SetFont(Fonts().tahoma14);
        ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), UnsteppedY(24));
        for (size_t i = 0; i < items.size(); ++i) {
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i].c_str()));
            ::SendMessageW(combo, CB_SETITEMHEIGHT, i, UnsteppedY(24));
        }
        ::SendMessageW(combo, CB_SETCURSEL, selection, 0);
        ::SetFocus(::GetDlgItem(dialog, kBeforeId));
        return WaitForPaint(dialog, 10000);
    }

    ~ComboHarness() {
        if (dialog && ::IsWindow(dialog)) ::DestroyWindow(dialog);
        box.reset();
    }

    RECT ComboScreenRect() const {
        RECT r{};
        ::GetWindowRect(combo, &r);
        return r;
    }
    RECT ListScreenRect() const {
        RECT r{};
        ::GetWindowRect(box->List().Handle(), &r);
        return r;
    }
    POINT ComboPoint(int x, int y) const {
        POINT p{x, y};
        ::ClientToScreen(combo, &p);
        return p;
    }
    // A real pointer move: the platform tracks enter and leave by it.
    static void MovePointer(POINT screen) {
        ::SetCursorPos(screen.x, screen.y);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_MOVE;
        ::SendInput(1, &input, sizeof input);
    }
    // What the box shows now, after its next paint reached the screen.
    PixelBuffer Face() {
        ::RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        WaitForPaint(dialog, 5000);
        PumpMessages();
        return CaptureClient(combo);
    }
    // A key through the dialog manager, as the message loop would route it.
    bool Key(UINT message, WPARAM key, bool alt = false) {
        HWND focus = ::GetFocus();
        MSG msg{focus ? focus : dialog, message, key, alt ? (1 << 29) : 0, 0, {}};
        if (!::IsDialogMessageW(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        PumpMessages();
        return true;
    }
};

// The premultiplied pixels of one cell of a picture strip, 0xAARRGGBB.
inline std::vector<std::uint32_t> PictureCell(const CImageWrapper& picture, int cell, int cells) {
    std::vector<std::uint32_t> all(static_cast<size_t>(picture.width) * picture.height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, picture.bitmap.get(), 0, picture.height, all.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    const int cellWidth = picture.width / cells;
    std::vector<std::uint32_t> out;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < cellWidth; ++x) out.push_back(all[static_cast<size_t>(y) * picture.width + cell * cellWidth + x]);
    return out;
}

// Source-over of a premultiplied pixel on an opaque background.
inline Rgb BlendOver(std::uint32_t premultiplied, COLORREF background) {
    const int a = premultiplied >> 24;
    auto channel = [&](int src, int dst) { return static_cast<std::uint8_t>(std::min(255, src + dst * (255 - a) / 255)); };
    return {channel((premultiplied >> 16) & 0xFF, GetRValue(background)),
            channel((premultiplied >> 8) & 0xFF, GetGValue(background)),
            channel(premultiplied & 0xFF, GetBValue(background))};
}

// How many pixels of the cell, drawn at (left, top) of the capture over
// `background`, differ from the expected blend by more than `tolerance`.
inline int CellMismatches(const PixelBuffer& shot, int left, int top, const CImageWrapper& picture, int cell,
                          COLORREF background, int tolerance) {
    const auto pixels = PictureCell(picture, cell, 3);
    const int cellWidth = picture.width / 3;
    int bad = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < cellWidth; ++x) {
            if (!shot.Contains(left + x, top + y)) {
                ++bad;
                continue;
            }
            const Rgb expected = BlendOver(pixels[static_cast<size_t>(y) * cellWidth + x], background);
            if (ColorDistance(shot.At(left + x, top + y), expected) > tolerance) ++bad;
        }
    return bad;
}

// Pixels at least this light in every channel: the face's white text (the
// arrow and frame are darker or tested apart).
inline int CountLight(const PixelBuffer& shot, const RECT& area, int threshold = 170) {
    int n = 0;
    for (int y = std::max<LONG>(0, area.top); y < std::min<LONG>(shot.Height(), area.bottom); ++y)
        for (int x = std::max<LONG>(0, area.left); x < std::min<LONG>(shot.Width(), area.right); ++x) {
            const Rgb c = shot.At(x, y);
            n += c.r >= threshold && c.g >= threshold && c.b >= threshold;
        }
    return n;
}

}  // namespace ovek::test
