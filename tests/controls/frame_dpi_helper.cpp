// The skinned frame at whatever resolution this process was started with
// (the frame tests run it at 144 dpi), or, with "missing", a frame whose
// module holds none of its pictures. Prints one line per check,
//   check close-cell 946,1,991,46 946,1,991,46 OK
// saves screenshots of each state, and exits with the number of failures.
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "frame_harness.h"
#include "framework/Gdi.h"
#include "ui/Scaling.h"

using namespace ovek;
using namespace ovek::test;

namespace {

int g_failures = 0;

void Check(const char* name, const std::string& expected, const std::string& measured) {
    const bool ok = expected == measured;
    if (!ok) ++g_failures;
    std::printf("check %s %s %s %s\n", name, expected.c_str(), measured.c_str(), ok ? "OK" : "FAIL");
    std::fflush(stdout);
}
void Check(const char* name, bool ok) { Check(name, "yes", ok ? "yes" : "no"); }

std::string Text(const RECT& r) {
    std::ostringstream s;
    s << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom;
    return s.str();
}
std::string Text(const FrameBox& b) { return Text(RECT{b.left, b.top, b.right, b.bottom}); }
std::string Text(std::optional<RECT> r) { return r ? Text(*r) : "none"; }

std::wstring Shot(const wchar_t* state) {
    return L"frame_" + std::to_wstring(Resolution().dpiY) + L"_" + state;
}

bool Wait(HWND w, const RECT& area, Color color, PixelBuffer& shot) {
    return WaitForFrameColor(w, area, PaletteRgb(color), shot);
}

int RunWithoutPictures() {
    RecordingFrame frame(::GetModuleHandleW(nullptr));
    if (!ShowFrame(frame, 100, 100, ScaleX(660) + 2 * ScaleX(1), ScaleY(446))) return 100;
    HWND w = frame.Handle();
    const FrameBox close = frame.Button(kCaptionClose).cell;
    const POINT onClose{(close.left + close.right) / 2, close.top + 10};
    Check("missing-no-picture", !frame.Button(kCaptionClose).picture);
    SendNc(w, WM_NCMOUSEMOVE, onClose);
    PixelBuffer shot = CaptureWindow(w);
    Check("missing-caption-plain",
          static_cast<bool>(AreaFilled(shot, RECT{0, 0, shot.Width(), ScaleY(28)}, PaletteRgb(Palette().CaptionBackground), 3)));
    SendNc(w, WM_NCLBUTTONDOWN, onClose);
    SendNc(w, WM_NCLBUTTONUP, onClose);
    Check("missing-close-command", frame.systemCommands.size() == 1 && frame.systemCommands[0] == SC_CLOSE);
    return g_failures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "missing") == 0) return RunWithoutPictures();

    const int dpi = Resolution().dpiY;
    std::printf("dpi %d\n", dpi);
    UniqueModule pictures = LoadInstallerResources();
    if (!pictures) {
        std::printf("error no installer resources\n");
        return 100;
    }
    const int width = ScaleX(660) + 2 * ScaleX(1);  // the wizard's size at this resolution
    const int height = ScaleY(446);
    RecordingFrame frame(pictures.get());
    if (!ShowFrame(frame, 40, 40, width, height)) {
        std::printf("error the frame never painted\n");
        return 100;
    }
    HWND w = frame.Handle();
    const int one = ScaleX(1), cellW = ScaleX(30), cellH = ScaleY(30), caption = ScaleY(28) + ScaleY(1);

    const RECT closeCell{width - one - cellW, ScaleY(1), width - one, ScaleY(1) + cellH};
    Check("close-cell", Text(closeCell), Text(frame.Button(kCaptionClose).cell));
    const RECT minimizeCell{closeCell.left - cellW, closeCell.top, closeCell.left, closeCell.bottom};
    Check("minimize-cell", Text(minimizeCell), Text(frame.Button(kCaptionMinimize).cell));
    RECT client{};
    ::GetClientRect(w, &client);
    Check("client", Text(RECT{0, 0, width - 2 * one, height - caption - ScaleY(1)}), Text(client));
    const RECT closeShown{closeCell.left, closeCell.top, closeCell.right, caption};
    const RECT minimizeShown{minimizeCell.left, minimizeCell.top, minimizeCell.right, caption};

    // The picture variant for the snapped resolution, unscaled, in the middle of its cell.
    const int picture = frame.Button(kCaptionClose).pictureWidth;
    Check("close-picture-width", std::to_string(dpi >= 144 ? 24 : dpi >= 120 ? 20 : 16), std::to_string(picture));
    PixelBuffer shot;
    Check("close-picture-shown",
          WaitForCapture(w, [&](const PixelBuffer& p) { return Brightest(p, closeShown) > 150; }, shot, 5000));
    SaveScreenshot(shot, Shot(L"normal"));
    const auto cross = FindColorBounds(shot, ovek::test::Rgb{200, 200, 200}, 60, closeShown);
    const int inset = (cellW - picture) / 2;
    Check("close-picture-inside", cross && cross->left >= closeCell.left + inset &&
                                      cross->right <= closeCell.left + inset + picture);

    SendNc(w, WM_NCMOUSEMOVE, POINT{(closeCell.left + closeCell.right) / 2, 10});
    Wait(w, closeShown, Palette().CloseHover, shot);
    SaveScreenshot(shot, Shot(L"close_hover"));
    Check("close-hover", Text(closeShown), Text(FindColorBounds(shot, PaletteRgb(Palette().CloseHover), 4)));
    const unsigned paints = frame.FrameRepaints();
    SendNc(w, WM_NCMOUSEMOVE, POINT{closeCell.left, closeCell.top});
    Check("move-within-no-repaint", std::to_string(paints), std::to_string(frame.FrameRepaints()));

    SendNc(w, WM_NCMOUSEMOVE, POINT{(minimizeCell.left + minimizeCell.right) / 2, 10});
    Wait(w, minimizeShown, Palette().CaptionButtonHover, shot);
    SaveScreenshot(shot, Shot(L"minimize_hover"));
    Check("minimize-hover", Text(minimizeShown),
          Text(FindColorBounds(shot, PaletteRgb(Palette().CaptionButtonHover), 4)));

    const POINT onClose{(closeCell.left + closeCell.right) / 2, 10};
    const POINT onStrip{width / 2, 10};
    SendNc(w, WM_NCLBUTTONDOWN, onClose);
    Wait(w, closeShown, Palette().ClosePressed, shot);
    SaveScreenshot(shot, Shot(L"close_pressed"));
    Check("close-pressed", Text(closeShown), Text(FindColorBounds(shot, PaletteRgb(Palette().ClosePressed), 4)));
    SendNc(w, WM_NCMOUSEMOVE, onStrip);
    SendNc(w, WM_NCLBUTTONUP, onStrip);
    Wait(w, RECT{closeCell.left, 1, closeCell.left + 2, 3}, Palette().CaptionBackground, shot);
    Check("drag-off-no-command", frame.systemCommands.empty());
    Check("drag-off-not-pressed", CountColor(shot, PaletteRgb(Palette().ClosePressed), 4, closeShown) == 0);
    SendNc(w, WM_NCLBUTTONDOWN, onClose);
    SendNc(w, WM_NCLBUTTONUP, onClose);
    Check("close-command", frame.systemCommands.size() == 1 && frame.systemCommands[0] == SC_CLOSE);

    frame.Button(kCaptionClose).disabled = 1;
    frame.RepaintFrame();
    Check("disabled-faded",
          WaitForCapture(w, [&](const PixelBuffer& p) { return Brightest(p, closeShown) < 100; }, shot, 5000) &&
              Brightest(shot, closeShown) > 40);
    SaveScreenshot(shot, Shot(L"close_disabled"));
    Check("disabled-not-hit", frame.HitTest(onClose) == -1);
    frame.Button(kCaptionClose).disabled = 0;

    ovek::UniqueIcon icon(static_cast<HICON>(::LoadImageW(pictures.get(), MAKEINTRESOURCEW(101), IMAGE_ICON, 48, 48, 0)));
    ::SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
    frame.captionTitle = 1;
    frame.RepaintFrame();
    const FrameMetrics m = FrameMetrics::ForResolution(Resolution().dpiX, Resolution().dpiY);
    const CaptionTitleLayout title = LayoutCaptionTitle(width, true, ScaleY(15), m);
    const RECT titleArea{title.text.left, title.caption.top, title.text.left + ScaleX(120), title.caption.bottom};
    Check("caption-title", Wait(w, titleArea, Palette().LightText, shot));
    SaveScreenshot(shot, Shot(L"caption_title"));
    Check("caption-title-left-clear",
          static_cast<bool>(AreaFilled(shot, RECT{one, one, title.icon.left, caption}, PaletteRgb(Palette().CaptionBackground), 3)));
    return g_failures;
}
