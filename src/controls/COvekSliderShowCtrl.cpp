#include "controls/COvekSliderShowCtrl.h"

namespace ovek {
namespace {

uint64_t SystemClock() { return ::GetTickCount64(); }

COvekSliderShowCtrl::Clock g_clock = &SystemClock;
std::optional<uint64_t> g_origin;

// Only a paint takes the origin; asking before that sees time 0.
uint64_t ElapsedSinceOrigin(bool takeOrigin) {
    const uint64_t now = g_clock();
    if (!g_origin) {
        if (!takeOrigin) return 0;
        g_origin = now;
    }
    return now >= *g_origin ? now - *g_origin : 0;
}

}  // namespace

void COvekSliderShowCtrl::SetClock(Clock clock) { g_clock = clock ? clock : &SystemClock; }

std::optional<uint64_t> COvekSliderShowCtrl::TimeOrigin() { return g_origin; }

HWND COvekSliderShowCtrl::Create(HWND parent, UINT id, const RECT& rect, DWORD style) {
    RegisterClass(kClassName, 0, ::LoadCursorW(nullptr, IDC_HAND));
    return CWindow::Create(kClassName, parent, L"", style | WS_CHILD, 0, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, id);
}

void COvekSliderShowCtrl::ClearSlides() { slides_.clear(); }

void COvekSliderShowCtrl::AppendSlide(int width, int height, UniqueBitmap bitmap) {
    if (!bitmap || width <= 0 || height <= 0) return;
    slides_.push_back(Slide{width, height, std::move(bitmap)});
}

SlideFrame COvekSliderShowCtrl::CurrentFrame() const {
    if (slides_.empty()) return {};
    RECT client{};
    if (Handle()) ::GetClientRect(Handle(), &client);
    return SlideFrameAt(ElapsedSinceOrigin(false), slides_.size(), client.right, timing_);
}

LRESULT COvekSliderShowCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        ::SetTimer(Handle(), kFrameTimer, kFrameMs, nullptr);
        break;
    case WM_DESTROY:
        ::KillTimer(Handle(), kFrameTimer);
        break;
    case WM_TIMER:
        if (wp != kFrameTimer) break;
        ::InvalidateRect(Handle(), nullptr, FALSE);
        ::UpdateWindow(Handle());
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        ::SendMessageW(::GetParent(Handle()), kSlideClicked, 0, 0);
        return 0;
    case WM_KEYDOWN:
        // A keyboard user opens the link the way a click does.
        if (wp == VK_SPACE) {
            ::SendMessageW(::GetParent(Handle()), kSlideClicked, 0, 0);
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        focused_ = msg == WM_SETFOCUS;
        ::InvalidateRect(Handle(), nullptr, FALSE);
        break;
    default:
        break;
    }
    if (PaintOffscreen(Handle(), msg, wp, [&](CMemorySurface& s) { Draw(s); })) return 0;
    return DefaultProc(msg, wp, lp);
}

void COvekSliderShowCtrl::DrawSlide(HDC target, const Slide& slide, int x, int clientHeight) {
    const HGDIOBJ old = ::SelectObject(source_.get(), slide.bitmap.get());
    if (!old) return;
    ::BitBlt(target, x, CentredStart(clientHeight, slide.height), slide.width, slide.height, source_.get(), 0, 0,
             SRCCOPY);
    ::SelectObject(source_.get(), old);
}

void COvekSliderShowCtrl::Draw(CMemorySurface& surface) {
    const RECT bounds = surface.Bounds();
    FillSolid(surface.dc(), bounds, background_);
    if (!slides_.empty()) {
        if (!source_) source_.reset(::CreateCompatibleDC(surface.dc()));
        const int w = surface.width();
        const SlideFrame frame = SlideFrameAt(ElapsedSinceOrigin(true), slides_.size(), w, timing_);
        if (source_ && frame.kind == SlideFrame::Kind::Still) {
            const Slide& s = slides_[frame.current];
            DrawSlide(surface.dc(), s, CentredStart(w, s.width), surface.height());
        } else if (source_ && frame.kind == SlideFrame::Kind::Transition) {
            const Slide& out = slides_[frame.current];
            const Slide& in = slides_[frame.next];
            DrawSlide(surface.dc(), out, CentredStart(w, out.width) - frame.shift, surface.height());
            DrawSlide(surface.dc(), in, w + CentredStart(w, in.width) - frame.shift, surface.height());
        }
    }
    if (focused_) {
        RECT focus = bounds;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(surface.dc(), &focus);
    }
}

}  // namespace ovek
