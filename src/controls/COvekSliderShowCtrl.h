#pragma once
// The status panel's slideshow: each slide stands still, then slides out to
// the left while the next slides in from the right. A press anywhere asks the
// parent to open the slide-show link (kSlideClicked, sent synchronously).
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "controls/SlideTiming.h"
#include "framework/Gdi.h"
#include "framework/Handles.h"
#include "framework/Window.h"
#include "ui/Palette.h"

namespace ovek {

class COvekSliderShowCtrl : public CWindow {
public:
    static constexpr const wchar_t* kClassName = L"OvekSlideShow";
    static constexpr UINT kSlideClicked = WM_USER + 250;
    static constexpr UINT_PTR kFrameTimer = 1;
    static constexpr UINT kFrameMs = 33;

    HWND Create(HWND parent, UINT id, const RECT& rect, DWORD style = WS_CHILD | WS_TABSTOP);

    void SetBackground(Color color) { background_ = color; }
    void SetDisplayTime(double seconds) { timing_.displaySeconds = seconds; }
    void SetTransitionTime(double seconds) { timing_.transitionSeconds = seconds; }
    void ClearSlides();
    // The control takes the bitmap: it keeps a 32-bit copy for drawing and
    // frees the original. A slide that cannot be copied is left out.
    void AppendSlide(int width, int height, UniqueBitmap bitmap);
    size_t SlideCount() const noexcept { return slides_.size(); }
    // What the next paint will show.
    SlideFrame CurrentFrame() const;

    // Every slideshow of the process measures time from one origin, taken at
    // the first paint of any slideshow with slides, so rebuilding the list
    // does not restart the sequence.
    using Clock = uint64_t (*)();
    static void SetClock(Clock clock);  // null: the system tick count
    static std::optional<uint64_t> TimeOrigin();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // A slide as the screen wants it: 32-bit, in a DC of its own, so a
    // frame is plain copies with no conversion and no selection.
    struct Slide {
        int width = 0;
        int height = 0;
        std::unique_ptr<CMemorySurface> surface;
    };
    void Paint(HDC target);
    void Compose(CMemorySurface& frame, const SlideFrame& at);
    static void CopySlide(HDC target, const Slide& slide, int x, int clientHeight);
    // True when the slide alone covers a client of this size.
    static bool Covers(const Slide& slide, int width, int height) {
        return slide.width >= width && slide.height >= height;
    }

    Color background_ = kSlideshowBackground;
    SlideTiming timing_;
    std::vector<Slide> slides_;
    std::unique_ptr<CMemorySurface> frame_;  // kept from paint to paint
    bool focused_ = false;
};

}  // namespace ovek
