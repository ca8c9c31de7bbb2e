#pragma once
// Owning wrappers for device contexts and GDI selections, and the one
// off-screen painting path every self-drawn window uses: compose into a
// 32-bit DIB section, then copy to the screen in one transfer.
#include <windows.h>
#include <cstdint>
#include <utility>

#include "framework/Handles.h"

namespace ovek {

struct MemoryDCTraits {
    using Type = HDC;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::DeleteDC(h); }
};
using UniqueMemoryDC = ScopedHandle<MemoryDCTraits>;

struct IconTraits {
    using Type = HICON;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::DestroyIcon(h); }
};
using UniqueIcon = ScopedHandle<IconTraits>;

// A window's DC (client area, or the whole window), released on scope exit.
class CWindowDC {
public:
    enum Area { Client, Whole };
    explicit CWindowDC(HWND hwnd, Area area = Client)
        : hwnd_(hwnd), dc_(area == Whole ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}
    ~CWindowDC() { if (dc_) ::ReleaseDC(hwnd_, dc_); }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

class CPaintDC {
public:
    explicit CPaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    ~CPaintDC() { ::EndPaint(hwnd_, &ps_); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC get() const noexcept { return dc_; }
    const RECT& PaintRect() const noexcept { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// Selects a GDI object into a DC and puts the old one back on scope exit.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~CSelectObject() { if (old_) ::SelectObject(dc_, old_); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A 32-bit top-down DIB section selected into a memory DC: the surface a
// window composes on. Pixels are BGRA, row after row, width * 4 bytes each.
class CMemorySurface {
public:
    CMemorySurface(HDC compatibleWith, int width, int height);
    ~CMemorySurface();
    CMemorySurface(const CMemorySurface&) = delete;
    CMemorySurface& operator=(const CMemorySurface&) = delete;

    explicit operator bool() const noexcept { return pixels_ != nullptr; }
    HDC dc() const noexcept { return dc_.get(); }
    HBITMAP bitmap() const noexcept { return bitmap_.get(); }
    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    uint32_t* pixels() const noexcept { return pixels_; }
    RECT Bounds() const noexcept { return RECT{0, 0, width_, height_}; }

    // The one transfer of the composition to the target.
    void CopyTo(HDC target, int x, int y) const;

private:
    UniqueMemoryDC dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Fills a rectangle with one colour (COLORREF) without a brush object.
void FillSolid(HDC dc, const RECT& rect, COLORREF color);

// The painting path of a self-drawn window: answers WM_PAINT (into the
// window) and WM_PRINTCLIENT (into the DC it brings) by composing the client
// area off screen with `draw(surface)` and copying it once. Returns true when
// msg was one of the two.
template <typename Draw>
bool PaintOffscreen(HWND hwnd, UINT msg, WPARAM wp, Draw&& draw) {
    if (msg != WM_PAINT && msg != WM_PRINTCLIENT) return false;
    RECT client{};
    ::GetClientRect(hwnd, &client);
    auto compose = [&](HDC target) {
        if (client.right <= 0 || client.bottom <= 0) return;
        CMemorySurface surface(target, client.right, client.bottom);
        if (!surface) return;
        draw(surface);
        ::GdiFlush();
        surface.CopyTo(target, 0, 0);
    };
    if (msg == WM_PAINT) {
        CPaintDC paint(hwnd);
        if (paint.get()) compose(paint.get());
    } else {
        compose(reinterpret_cast<HDC>(wp));
    }
    return true;
}

}  // namespace ovek
