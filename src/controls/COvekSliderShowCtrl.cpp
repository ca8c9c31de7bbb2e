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
    // Converted once here (decoded slides are 24-bit) instead of on every
    // frame; the decoder's bitmap goes when this returns.
    CWindowDC screen(nullptr);
    auto surface = std::make_unique<CMemorySurface>(screen.get(), width, height);
    UniqueMemoryDC source(::CreateCompatibleDC(screen.get()));
    if (!*surface || !source) return;
    const HGDIOBJ old = ::SelectObject(source.get(), bitmap.get());
    if (!old) return;
    ::BitBlt(surface->dc(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    ::SelectObject(source.get(), old);
    ::GdiFlush();
    slides_.push_back(Slide{width, height, std::move(surface)});
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
    case WM_PAINT: {
        CPaintDC paint(Handle());
        if (paint.get()) Paint(paint.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wp));
        return 0;
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
    return DefaultProc(msg, wp, lp);
}

void COvekSliderShowCtrl::CopySlide(HDC target, const Slide& slide, int x, int clientHeight) {
    ::BitBlt(target, x, CentredStart(clientHeight, slide.height), slide.width, slide.height, slide.surface->dc(), 0,
             0, SRCCOPY);
}

// At 30 frames a second every frame is at most a few plain copies: a still
// slide that covers the control goes straight to the screen (one opaque
// copy cannot flicker); anything else is composed on a surface kept from
// frame to frame and copied once.
void COvekSliderShowCtrl::Paint(HDC target) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    SlideFrame at;
    if (!slides_.empty()) at = SlideFrameAt(ElapsedSinceOrigin(true), slides_.size(), w, timing_);
    if (at.kind == SlideFrame::Kind::Still && !focused_ && Covers(slides_[at.current], w, h)) {
        CopySlide(target, slides_[at.current], CentredStart(w, slides_[at.current].width), h);
        return;
    }
    if (!frame_ || frame_->width() != w || frame_->height() != h) {
        frame_.reset();
        frame_ = std::make_unique<CMemorySurface>(target, w, h);
    }
    if (!*frame_) {
        frame_.reset();
        return;
    }
    Compose(*frame_, at);
    ::GdiFlush();
    frame_->CopyTo(target, 0, 0);
}

void COvekSliderShowCtrl::Compose(CMemorySurface& frame, const SlideFrame& at) {
    const int w = frame.width(), h = frame.height();
    const HDC dc = frame.dc();
    if (at.kind == SlideFrame::Kind::Still) {
        const Slide& s = slides_[at.current];
        if (!Covers(s, w, h)) FillSolid(dc, frame.Bounds(), background_);
        CopySlide(dc, s, CentredStart(w, s.width), h);
    } else if (at.kind == SlideFrame::Kind::Transition) {
        const Slide& out = slides_[at.current];
        const Slide& in = slides_[at.next];
        const int outLeft = CentredStart(w, out.width) - at.shift;
        const int inLeft = w + CentredStart(w, in.width) - at.shift;
        // Both full height and meeting edge to edge: no background shows.
        const bool gapless = out.height >= h && in.height >= h && outLeft <= 0 &&
                             inLeft <= outLeft + out.width && inLeft + in.width >= w;
        if (!gapless) FillSolid(dc, frame.Bounds(), background_);
        CopySlide(dc, out, outLeft, h);
        CopySlide(dc, in, inLeft, h);
    } else {
        FillSolid(dc, frame.Bounds(), background_);
    }
    if (focused_) {
        RECT focus = frame.Bounds();
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(dc, &focus);
    }
}

}  // namespace ovek
