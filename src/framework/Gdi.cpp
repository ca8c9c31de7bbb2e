#include "framework/Gdi.h"

namespace ovek {

CMemorySurface::CMemorySurface(HDC compatibleWith, int width, int height) {
    if (width <= 0 || height <= 0) return;
    dc_.reset(::CreateCompatibleDC(compatibleWith));
    if (!dc_) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(compatibleWith, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) {
        bitmap_.reset();
        return;
    }
    oldBitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
    pixels_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
}

CMemorySurface::~CMemorySurface() {
    // The bitmap leaves the DC before either is deleted.
    if (oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
}

void CMemorySurface::CopyTo(HDC target, int x, int y) const {
    if (pixels_) ::BitBlt(target, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    const COLORREF old = ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

}  // namespace ovek
