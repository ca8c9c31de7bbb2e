#include "framework/Direct2D.h"

namespace ovek {

ComPtr<ID2D1Factory> CreateDrawingFactory() {
    ComPtr<ID2D1Factory> factory;
    D2D1_FACTORY_OPTIONS options{};
    if (FAILED(::D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), &options,
                                   factory.put_void())))
        factory.reset();
    return factory;
}

ComPtr<ID2D1DCRenderTarget> CreateDCRenderTarget(ID2D1Factory* factory) {
    ComPtr<ID2D1DCRenderTarget> target;
    if (!factory) return target;
    const D2D1_RENDER_TARGET_PROPERTIES props = D2D1::RenderTargetProperties(
        D2D1_RENDER_TARGET_TYPE_DEFAULT,
        D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE), 96.0f, 96.0f);
    if (FAILED(factory->CreateDCRenderTarget(&props, target.put()))) target.reset();
    return target;
}

ComPtr<IDWriteFactory> CreateTextFactory() {
    ComPtr<IDWriteFactory> factory;
    if (FAILED(::DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                     reinterpret_cast<IUnknown**>(factory.put()))))
        factory.reset();
    return factory;
}

}  // namespace ovek
