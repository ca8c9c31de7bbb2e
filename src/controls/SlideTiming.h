#pragma once
// Which slide the slideshow shows at a given time, and how far a transition
// has moved it. Platform-free so the timing can be checked without a window.
#include <cstddef>
#include <cstdint>

namespace ovek {

struct SlideTiming {
    double displaySeconds = 7.5;     // a slide stands still this long
    double transitionSeconds = 0.6;  // then slides out to the left
};

struct SlideFrame {
    enum class Kind { Empty, Still, Transition };
    Kind kind = Kind::Empty;
    size_t current = 0;  // the slide shown, or the one leaving
    size_t next = 0;     // the slide coming in (Transition only)
    int shift = 0;       // pixels both slides have moved left (Transition only)
    bool operator==(const SlideFrame&) const = default;
};

// The frame `elapsedMs` after the shared time origin for `slideCount` slides
// in a control `width` pixels wide. A single slide stays still through what
// would be its transition: sliding it out onto nothing would only blank the
// control for a moment every cycle.
inline SlideFrame SlideFrameAt(uint64_t elapsedMs, size_t slideCount, int width, const SlideTiming& timing = {}) {
    SlideFrame frame;
    if (slideCount == 0) return frame;
    frame.kind = SlideFrame::Kind::Still;
    const double display = timing.displaySeconds > 0 ? timing.displaySeconds : 0.0;
    const double transition = timing.transitionSeconds > 0 ? timing.transitionSeconds : 0.0;
    const double cycle = display + transition;
    if (cycle <= 0) return frame;
    const double t = static_cast<double>(elapsedMs) / 1000.0;
    const auto n = static_cast<uint64_t>(t / cycle);
    const double phase = t - static_cast<double>(n) * cycle;
    frame.current = static_cast<size_t>(n % slideCount);
    if (phase <= display || slideCount == 1) return frame;
    double p = (phase - display) / transition;
    if (p > 1.0) p = 1.0;
    frame.kind = SlideFrame::Kind::Transition;
    frame.next = frame.current + 1 == slideCount ? 0 : frame.current + 1;
    frame.shift = static_cast<int>(static_cast<double>(width) * p);
    return frame;
}

// Where a slide `slideExtent` long starts so that it sits centred in
// `extent`; negative when the slide is larger and the edges crop it.
constexpr int CentredStart(int extent, int slideExtent) { return (extent - slideExtent) / 2; }

}  // namespace ovek
