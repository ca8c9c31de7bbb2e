// Run at another resolution by button_test: draws the text button, the
// picture button, a label and the folder field, checks their device-pixel
// geometry against the resolution rules, saves screenshots and prints one
// line per check. The exit code is the number of failed checks.
#include <cstdio>
#include <string>

#include "button_dialog.h"
#include "controls/COvekButton.h"
#include "controls/COvekEdit.h"
#include "controls/COvekStatic.h"
#include "controls/COvekTextButton.h"
#include "ui/Scaling.h"

namespace ovek::test {
namespace {

int failures = 0;
void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok" : "FAIL", what.c_str());
    if (!ok) ++failures;
}

}  // namespace

int Run() {
    CreateSharedFonts();
    const int dpi = Resolution().dpiY;
    const std::wstring suffix = L"-" + std::to_wstring(dpi);
    std::printf("dpi %d x %d\n", Resolution().dpiX, dpi);

    COvekTextButton install, disabled;
    COvekButton check;
    COvekStatic label, link;
    COvekEdit edit;
    CDialogTemplate t = PopupTemplate();
    t.Add(L"BUTTON", L"Install", 133, BS_OWNERDRAW | WS_TABSTOP, 10, 10, 100, 20);
    t.Add(L"BUTTON", L"Start Now", 150, BS_OWNERDRAW | WS_TABSTOP, 10, 40, 100, 20);
    t.Add(L"BUTTON", L"I accept the License Terms", 134, BS_PUSHBUTTON | WS_TABSTOP, 10, 70, 10, 10);
    t.Add(L"STATIC", L"Installation folder:", 140, SS_LEFT, 10, 90, 100, 10);
    t.Add(L"STATIC", L"License Terms", 152, SS_LEFT | WS_TABSTOP, 10, 100, 100, 10);
    t.Add(L"EDIT", L"C:\\Program Files\\Kavro Free", 143, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 110, 100, 14);
    ControlDialog dialog;
    dialog.init = [&](HWND d) {
        install.Bind(d, 133);
        disabled.Bind(d, 150);
        check.Bind(d, 134);
        label.Bind(d, 140);
        link.Bind(d, 152);
        edit.Bind(d, 143);
    };
    if (!dialog.Open(t, 40, 40, 700, 520)) return 100;
    const int bw = ScaleX(300), bh = ScaleY(34);
    dialog.Place(133, 20, 20, bw, bh);
    dialog.Place(150, 20, 30 + bh, bw, bh);
    dialog.Place(134, 20, 40 + 2 * bh, ScaleX(16), ScaleY(16));
    dialog.Place(140, 20, 100 + 2 * bh, ScaleX(200), ScaleY(24));
    dialog.Place(152, 20 + ScaleX(220), 100 + 2 * bh, ScaleX(140), ScaleY(24));
    dialog.Place(143, 20, 140 + 3 * bh, ScaleX(300), UnsteppedY(24));
    disabled.SetEnabled(false);
    const Color bg = Palette().WindowBackground;
    check.SetColors(bg, bg, bg, bg, L"");
    // The ticked picture's size at this resolution, unscaled: 16, 20, 24 or 32.
    const int side = 16 + 4 * PictureVariant(SnappedDpi()) + (PictureVariant(SnappedDpi()) == 3 ? 4 : 0);
    UniqueBitmap tick = MakePicture(side, side, [](int, int) { return 0xFFFF0000u; });
    check.SetPicture(tick.get(), SIZE{side, side});
    label.SetColors(bg, ovek::Rgb(255, 255, 255), ovek::Rgb(255, 255, 255));
    label.SetFormat(DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    label.SetText(L"Installation folder:");
    link.SetLink(true);
    link.SetFont(Fonts().tahoma14Underlined);
    link.SetColors(bg, kLicenceLinkColor, kLicenceLinkColor);
    link.SetFormat(DT_LEFT | DT_SINGLELINE | DT_BOTTOM);
    link.SetText(L"License Terms");
    const Color field = Palette().FieldBackground;
    edit.SetColors(field, ovek::Rgb(54, 138, 211), field, ovek::Rgb(255, 255, 255));
    edit.SetMode(EditMode::Text);
    WaitForPaint(dialog.Handle(), 5000);

    const Rgb face = RgbOf(Palette().ButtonFace), surround = RgbOf(bg);
    PixelBuffer shot;
    HWND b = dialog.Item(133);
    WaitForCapture(b, [&](const PixelBuffer& s) { return s.At(ScaleX(10), bh / 2) == face; }, shot, 3000);
    Check(shot.Width() == bw && shot.Height() == bh, "text button is ScaleX(300) x ScaleY(34)");
    SaveScreenshot(shot, L"text-button-normal" + suffix);
    // The corner radius follows dpi x 4 / 96: at 6 pixels, (1, 0) is outside
    // the face; at 4 it would be partly covered.
    Check(shot.At(0, 0) == surround && shot.At(1, 0) == surround, "corner radius " + std::to_string(UnsteppedX(4)));
    Check(shot.At(bw / 2, 2) == face || shot.At(ScaleX(10), 2) == face, "face reaches the top edge");
    const auto ink = FindColorBounds(shot, Rgb{255, 255, 255}, 100);
    const int inkHeight = ink ? ink->bottom - ink->top : 0;
    // "Install" inks from its ascenders to the baseline: about 0.75 em.
    const double em = UnsteppedY(14);
    Check(inkHeight >= em * 0.62 && inkHeight <= em * 0.85,
          "caption ink " + std::to_string(inkHeight) + " px for a " + std::to_string(UnsteppedY(14)) + " px font");
    if (ink) Check(std::abs((ink->top + ink->bottom) - bh) <= 3, "caption centred vertically");

    WaitForCapture(dialog.Item(150), [&](const PixelBuffer& s) { return s.At(ScaleX(10), bh / 2) == RgbOf(Palette().ButtonDisabled); }, shot, 3000);
    Check(shot.At(ScaleX(10), bh / 2) == RgbOf(Palette().ButtonDisabled), "disabled face");
    SaveScreenshot(shot, L"text-button-disabled" + suffix);

    WaitForCapture(dialog.Item(134), [&](const PixelBuffer& s) { return s.At(ScaleX(8), ScaleY(8)) == Rgb{255, 0, 0}; }, shot, 3000);
    const int cw = ScaleX(16), ch = ScaleY(16);
    const RECT where{(cw - side) / 2, (ch - side) / 2, (cw - side) / 2 + side, (ch - side) / 2 + side};
    Check(static_cast<bool>(ColorRectIs(shot, Rgb{255, 0, 0}, 0, where)),
          "check picture " + std::to_string(side) + " px unscaled in its " + std::to_string(cw) + " px cell");

    // The label's fallback font is Arial at dpiX x 14 / 96 whatever the steps.
    WaitForCapture(dialog.Item(140), [&](const PixelBuffer& s) { return FindColorBounds(s, Rgb{255, 255, 255}, 100).has_value(); }, shot, 3000);
    SaveScreenshot(shot, L"label-default-font" + suffix);
    const auto labelInk = FindColorBounds(shot, Rgb{255, 255, 255}, 100);
    // Cap height of Arial: 0.716 em; "I" of "Installation" sets the top and
    // the baseline bounds the bottom (no descenders in the text).
    const int labelHeight = labelInk ? labelInk->bottom - labelInk->top : 0;
    Check(std::abs(labelHeight - UnsteppedX(14) * 0.716) <= 1.5,
          "label ink " + std::to_string(labelHeight) + " px for Arial " + std::to_string(UnsteppedX(14)));

    ::SetFocus(dialog.Item(152));
    WaitForCapture(dialog.Item(152), [&](const PixelBuffer& s) { return s.At(2, 4) != surround || s.At(2, 5) != surround; }, shot, 3000);
    Check(shot.At(1, 4) == surround && shot.At(1, 5) == surround && (shot.At(2, 4) != surround || shot.At(2, 5) != surround),
          "link focus rectangle 2 px inside");
    SaveScreenshot(shot, L"link-focused" + suffix);

    HWND e = dialog.Item(143);
    ::SendMessageW(e, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    ::SendMessageW(e, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    WaitForCapture(e, [&](const PixelBuffer& s) { return s.At(0, s.Height() / 2) == Rgb{54, 138, 211}; }, shot, 3000);
    Check(shot.At(0, shot.Height() / 2) == Rgb{54, 138, 211}, "folder field active frame");
    SaveScreenshot(shot, L"folder-edit-active" + suffix);

    PixelBuffer whole = CaptureWindow(dialog.Handle());
    SaveScreenshot(whole, L"controls" + suffix);
    dialog.End(0);
    PumpMessages();
    return failures;
}

}  // namespace ovek::test

int main() { return ovek::test::Run(); }
