// The window-test layer itself: captures, colour checks, PNG files and the
// resolution runner.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
// The GDI+ headers use min and max unqualified.
using std::max;
using std::min;
#include <objidl.h>
#include <gdiplus.h>

#include "support/TestSupport.h"
#include "support/WindowTesting.h"

namespace ovek::test {
namespace {

constexpr Rgb kFrame{200, 40, 160};
constexpr Rgb kClient{24, 25, 30};
constexpr Rgb kMark{7, 165, 216};
constexpr RECT kMarkRect{20, 30, 120, 80};  // client coordinates

// A captioned top-level window that draws its own frame, as the skinned
// dialogs do: the frame only shows when Wine draws the whole window.
LRESULT CALLBACK ProbeProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    auto fill = [](HDC dc, const RECT& r, Rgb c) {
        UniqueBrush brush(::CreateSolidBrush(RGB(c.r, c.g, c.b)));
        ::FillRect(dc, &r, brush.get());
    };
    switch (message) {
    case WM_NCPAINT:
    case WM_NCACTIVATE: {
        HDC dc = ::GetWindowDC(w);
        RECT r{};
        ::GetWindowRect(w, &r);
        ::OffsetRect(&r, -r.left, -r.top);
        fill(dc, r, kFrame);
        ::ReleaseDC(w, dc);
        return message == WM_NCACTIVATE ? TRUE : 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(w, &ps);
        RECT r{};
        ::GetClientRect(w, &r);
        fill(dc, r, kClient);
        fill(dc, kMarkRect, kMark);
        ::EndPaint(w, &ps);
        return 0;
    }
    }
    return ::DefWindowProcW(w, message, wp, lp);
}

UniqueWindow ShowProbe(int x, int y, int width, int height) {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"OvekCaptureProbe";
        return ::RegisterClassW(&wc);
    }();
    if (!atom) return UniqueWindow();
    UniqueWindow w(::CreateWindowExW(0, L"OvekCaptureProbe", L"probe", WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y,
                                     width, height, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    if (w) ::ShowWindow(w.get(), SW_SHOWNORMAL);
    return w;
}

TEST(WindowCapture, WholeWindowReachesTheScreenWhereItsRectangleSays) {
    UniqueWindow probe = ShowProbe(60, 50, 300, 200);
    ASSERT_TRUE(probe);
    ASSERT_TRUE(WaitForPaint(probe.get(), 10000));
    RECT window{}, client{0, 0, 0, 0};
    ::GetWindowRect(probe.get(), &window);
    ::GetClientRect(probe.get(), &client);
    POINT origin{0, 0};
    ::ClientToScreen(probe.get(), &origin);
    const int cx = origin.x - window.left, cy = origin.y - window.top;  // client offset in the capture
    ASSERT_GT(cy, 0) << "a captioned window has a frame above its client area";

    PixelBuffer shot;
    bool shown = WaitForCapture(
        probe.get(), [&](const PixelBuffer& p) { return PixelNear(p, cx + 150, cy + 150, kClient, 0) &&
                                                       PixelNear(p, 1, 1, kFrame, 0); },
        shot, 10000);
    SaveScreenshot(shot, L"capture-probe");
    ASSERT_TRUE(shown) << PixelNear(shot, cx + 150, cy + 150, kClient, 0).message() << "; "
                       << PixelNear(shot, 1, 1, kFrame, 0).message();
    EXPECT_EQ(shot.Width(), window.right - window.left);
    EXPECT_EQ(shot.Origin().x, window.left);
    // The self-drawn frame: the caption band is ours, not Wine's or X's.
    EXPECT_TRUE(AreaFilled(shot, {0, 0, shot.Width(), cy}, kFrame, 0));
    RECT mark = kMarkRect;
    ::OffsetRect(&mark, cx, cy);
    EXPECT_TRUE(ColorRectIs(shot, kMark, 0, mark));
    EXPECT_EQ(CountColor(shot, kMark, 0, mark), 100 * 50);
    EXPECT_TRUE(PixelNear(CaptureClient(probe.get()), 0, 0, kClient, 0));
}

TEST(WindowCapture, FailuresNameTheColourFound) {
    PixelBuffer p(4, 3);
    p.Set(2, 1, {255, 0, 16});
    auto within = PixelNear(p, 2, 1, {250, 0, 20}, 5);
    EXPECT_TRUE(within);
    auto off = PixelNear(p, 2, 1, {0, 0, 0}, 8);
    ASSERT_FALSE(off);
    EXPECT_NE(std::string(off.message()).find("#FF0010"), std::string::npos) << off.message();
    auto outside = PixelNear(p, 4, 0, {0, 0, 0}, 0);
    EXPECT_FALSE(outside);
    auto area = AreaFilled(p, {0, 0, 4, 3}, {0, 0, 0}, 0);
    ASSERT_FALSE(area);
    EXPECT_NE(std::string(area.message()).find("(2,1), is #FF0010"), std::string::npos) << area.message();
}

TEST(WindowCapture, ColorBoundsCoverOnlyTheNearPixels) {
    PixelBuffer p(10, 8);
    for (int y = 2; y < 5; ++y)
        for (int x = 3; x < 7; ++x) p.Set(x, y, {100, 100, 100});
    p.Set(7, 5, {104, 97, 100});   // an anti-aliased corner
    p.Set(9, 7, {120, 100, 100});  // too far off
    struct Case { int tolerance; std::optional<RECT> within; std::optional<RECT> expected; };
    const Case cases[] = {
        {0, std::nullopt, RECT{3, 2, 7, 5}},
        {4, std::nullopt, RECT{3, 2, 8, 6}},
        {4, RECT{0, 0, 5, 8}, RECT{3, 2, 5, 5}},
        {0, RECT{8, 0, 10, 8}, std::nullopt},
    };
    for (const auto& c : cases) {
        auto box = FindColorBounds(p, {100, 100, 100}, c.tolerance, c.within);
        ASSERT_EQ(box.has_value(), c.expected.has_value()) << "tolerance " << c.tolerance;
        if (box) {
            EXPECT_TRUE(::EqualRect(&*box, &*c.expected))
                << box->left << "," << box->top << "," << box->right << "," << box->bottom;
        }
    }
    EXPECT_FALSE(ColorRectIs(p, {100, 100, 100}, 0, {3, 2, 7, 6}));
    EXPECT_TRUE(ColorRectIs(p, {100, 100, 100}, 0, {3, 2, 7, 6}, 1));
}

TEST(WindowCapture, PngFilesDecodeToTheSamePixels) {
    // Larger than one stored deflate block, and not a multiple of anything.
    PixelBuffer p(301, 97);
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            p.Set(x, y, {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y * 2),
                         static_cast<std::uint8_t>(x ^ y)});
    std::wstring path = MakeTempFolder(L"png") + L"\\pixels.png";
    ASSERT_TRUE(SavePng(p, path));
    EXPECT_FALSE(SavePng(PixelBuffer(), path + L".empty"));

    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    {
        Gdiplus::Bitmap decoded(path.c_str());
        ASSERT_EQ(decoded.GetLastStatus(), Gdiplus::Ok);
        ASSERT_EQ(decoded.GetWidth(), 301u);
        ASSERT_EQ(decoded.GetHeight(), 97u);
        int wrong = 0;
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x) {
                Gdiplus::Color c;
                decoded.GetPixel(x, y, &c);
                Rgb want = p.At(x, y);
                wrong += c.GetR() != want.r || c.GetG() != want.g || c.GetB() != want.b;
            }
        EXPECT_EQ(wrong, 0);
    }
    Gdiplus::GdiplusShutdown(token);
}

// The resolution value as it stands, nullopt when absent.
std::optional<DWORD> LogPixels() {
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                       &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void SetLogPixels(std::optional<DWORD> value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    UniqueHKey owner(key);
    if (value)
        ::RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value), sizeof(DWORD));
    else
        ::RegDeleteValueW(key, L"LogPixels");
}

TEST(DpiRunner, ChildSeesTheResolutionAndTheValueIsRestored) {
    const std::wstring helper = L"\"" + BuildPath(L"dialog_metrics_helper.exe") + L"\"";
    const std::optional<DWORD> before = LogPixels();
    struct Case { std::optional<DWORD> previous; DWORD dpi; };
    for (const Case& c : {Case{std::nullopt, 120}, Case{96, 192}}) {
        SCOPED_TRACE(::testing::Message() << "dpi " << c.dpi << (c.previous ? " over a value" : " over none"));
        SetLogPixels(c.previous);
        ProcessResult run = RunAtDpi(c.dpi, helper, 60000);
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        std::istringstream report(run.output);
        std::string word;
        int dpi = 0;
        report >> word >> dpi;
        EXPECT_EQ(word, "dpi") << run.output;
        EXPECT_EQ(dpi, static_cast<int>(c.dpi)) << run.output;
        EXPECT_EQ(LogPixels(), c.previous);
    }
    // A child that outlives its limit is ended, and the value still restored.
    SetLogPixels(std::nullopt);
    ULONGLONG start = ::GetTickCount64();
    ProcessResult stalled = RunAtDpi(144, helper + L" --stall", 1000);
    EXPECT_FALSE(stalled.exitCode.has_value());
    EXPECT_LT(::GetTickCount64() - start, 20000u);
    EXPECT_EQ(LogPixels(), std::nullopt);
    SetLogPixels(before);
}

}  // namespace
}  // namespace ovek::test
