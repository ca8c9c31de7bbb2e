// Runs the language box in a process of its own: at the resolution the test
// set for it (144 dpi), or with no pictures to draw. Prints one line per
// check and "all ok" / "no-pictures ok"; the exit code counts failed checks.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ComboFixture.h"
#include "controls/ComboGeometry.h"

namespace ovek::test {
namespace {

int g_failed = 0;

void Check(const char* name, bool ok) {
    std::printf("check %s %s\n", name, ok ? "ok" : "FAILED");
    if (!ok) ++g_failed;
}

bool FrameIs(const PixelBuffer& face, Rgb color) {
    const int w = face.Width(), h = face.Height();
    if (w <= 0) return false;
    return PixelNear(face, 0, h / 2, color, 2) && PixelNear(face, w - 1, h / 2, color, 2) &&
           PixelNear(face, w / 2, 0, color, 2) && PixelNear(face, w / 2, h - 1, color, 2);
}

bool Hover(ComboHarness& h, bool on) {
    RECT client{};
    ::GetClientRect(h.combo, &client);
    ComboHarness::MovePointer(on ? h.ComboPoint(10, client.bottom / 2) : POINT{5, 5});
    return WaitUntil([&] { return h.box->Hover() == on; }, 5000);
}

int NoPictures() {
    ComboHarness h;
    h.usePictures = false;
    Check("open", h.Open({L"English", L"Deutsch"}, 0));
    const RECT area = h.box->ArrowArea();
    Check("no arrow area", area.right == 0 && area.left == 0);
    const PixelBuffer face = h.Face();
    Check("face painted", face.Width() > 0 && FrameIs(face, Rgb{73, 90, 105}));
    Check("text drawn", CountLight(face, RECT{1, 1, face.Width() - 24, face.Height() - 1}) > 0);
    Check("hover", Hover(h, true) && FrameIs(h.Face(), Rgb{54, 138, 211}));
    RECT client{};
    ::GetClientRect(h.combo, &client);
    ::SendMessageW(h.combo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, client.bottom / 2));
    Check("list opens", WaitUntil([&] { return h.box->Dropped(); }, 5000));
    h.box->ShowList(false);
    if (g_failed == 0) std::printf("no-pictures ok\n");
    return g_failed;
}

int AtThisResolution() {
    const int dpi = Resolution().dpiX;
    std::printf("dpi %d\n", dpi);
    ComboHarness h;
    ComboHarness::MovePointer(POINT{5, 5});
    Check("open", h.Open({L"English", L"A language whose name is much wider than its box"}, 1));
    Check("pointer elsewhere", Hover(h, false));
    auto arrow = LoadResourcePicture(ThemePictureId(Picture::ComboArrow), h.pictures.get());
    std::printf("arrow %u\n", static_cast<unsigned>(ThemePictureId(Picture::ComboArrow)));
    Check("arrow picture", arrow && arrow->bitmap);
    if (!arrow || !arrow->bitmap) return g_failed + 1;
    const int cell = arrow->width / 3;
    std::printf("cell %d x %d\n", cell, arrow->height);
    RECT client{};
    ::GetClientRect(h.combo, &client);
    const combo::Box expected = combo::ArrowArea(client.right, client.bottom, cell, dpi);
    const RECT area = h.box->ArrowArea();
    Check("arrow area", area.left == expected.left && area.right == expected.right && area.bottom == client.bottom);

    const PixelBuffer face = h.Face();
    SaveScreenshot(face, L"combo-face-" + std::to_wstring(dpi));
    Check("idle frame", FrameIs(face, Rgb{73, 90, 105}));
    const int buttonWidth = combo::DropButtonWidth(cell, dpi);
    Check("drop button", PixelNear(face, face.Width() - buttonWidth, 1, RgbOf(Palette().FieldButton), 1) &&
                             PixelNear(face, face.Width() - buttonWidth - 1, 1, RgbOf(Palette().FieldBackground), 1));
    const int arrowLeft = combo::ArrowCellLeft(face.Width(), cell, dpi);
    const int arrowTop = (face.Height() - arrow->height) / 2;
    Check("normal cell", CellMismatches(face, arrowLeft, arrowTop, *arrow, 2, Palette().FieldButton, 3) == 0);
    const combo::Span span = combo::FaceTextSpan(face.Width(), cell, dpi, false);
    Check("text cut", CountLight(face, RECT{span.right - 10, 1, span.right, face.Height() - 1}) > 0 &&
                          CountLight(face, RECT{span.right, 1, arrowLeft, face.Height() - 1}) == 0);

    Check("hover state", Hover(h, true));
    const PixelBuffer hover = h.Face();
    SaveScreenshot(hover, L"combo-hover-" + std::to_wstring(dpi));
    Check("hover frame", FrameIs(hover, Rgb{54, 138, 211}));
    Check("hover cell", CellMismatches(hover, arrowLeft, arrowTop, *arrow, 1, Palette().FieldButton, 3) == 0);

    h.box->ShowList(true);
    HWND list = h.box->List().Handle();
    Check("list shown", WaitUntil([&] { return ::IsWindowVisible(list); }, 5000));
    RECT row{};
    ::SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    Check("row height", row.bottom - row.top == Unstepped(dpi, 24));
    RECT window{};
    ::GetWindowRect(list, &window);
    Check("drop width", window.right - window.left == h.box->ComputeDropWidth());
    PixelBuffer shot;
    WaitForCapture(list, [&](const PixelBuffer& s) { return PixelNear(s, 0, 0, Rgb{54, 138, 211}, 2); }, shot, 5000);
    SaveScreenshot(shot, L"combo-list-" + std::to_wstring(dpi));
    Check("list border", PixelNear(shot, 0, 0, Rgb{54, 138, 211}, 2));
    h.box->ShowList(false);
    Check("hover cleared when the list closes", !h.box->Hover());
    ComboHarness::MovePointer(POINT{5, 5});
    if (g_failed == 0) std::printf("all ok\n");
    return g_failed;
}

}  // namespace
}  // namespace ovek::test

int main() {
    const bool noPictures = std::wstring(::GetCommandLineW()).find(L"--no-pictures") != std::wstring::npos;
    const int failed = noPictures ? ovek::test::NoPictures() : ovek::test::AtThisResolution();
    std::fflush(stdout);
    return failed;
}
