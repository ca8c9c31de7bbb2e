#pragma once
// Direct2D and DirectWrite for self-drawn controls: the factories and a
// render target that draws onto a device context in device pixels.
#include <windows.h>
#include <d2d1.h>
#include <dwrite.h>

#include "framework/Handles.h"

namespace ovek {

// Each returns an empty pointer when the platform cannot make the object.
ComPtr<ID2D1Factory> CreateDrawingFactory();
// 32-bit BGRA with alpha ignored, at 96 "dpi" so that one unit is one device
// pixel at every screen resolution (controls measure in device pixels).
ComPtr<ID2D1DCRenderTarget> CreateDCRenderTarget(ID2D1Factory* factory);
ComPtr<IDWriteFactory> CreateTextFactory();

inline D2D1_COLOR_F ToD2DColor(COLORREF c, float alpha = 1.0f) {
    return D2D1::ColorF(GetRValue(c) / 255.0f, GetGValue(c) / 255.0f, GetBValue(c) / 255.0f, alpha);
}

}  // namespace ovek
