#include "controls/ImageCache.h"

#include <objbase.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <mutex>
#include <unordered_map>

#include "controls/Premultiply.h"

namespace ovek {
namespace {

// GDI+ is started when a picture first needs decoding and stopped when the
// last slide decode ends (or at the exit step). Decodes count as users so
// that no decode can lose the decoder underneath it.
class DecoderState {
public:
    bool AddUser() {
        std::lock_guard<std::mutex> guard(lock_);
        ++users_;
        if (!token_) {
            Gdiplus::GdiplusStartupInput input;
            ULONG_PTR token = 0;
            if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) token_ = token;
        }
        return token_ != 0;
    }

    void ReleaseUser(bool shutDownWhenIdle) {
        std::lock_guard<std::mutex> guard(lock_);
        if (users_ > 0) --users_;
        if (shutDownWhenIdle && users_ == 0) StopLocked();
    }

    void Shutdown() {
        std::lock_guard<std::mutex> guard(lock_);
        if (users_ == 0) StopLocked();
    }

    bool Running() {
        std::lock_guard<std::mutex> guard(lock_);
        return token_ != 0;
    }

    // No destructor work on purpose: GdiplusShutdown from a static
    // destructor can wait on GDI+'s own thread while the process ends.
    // The exit step shuts it down; a process that skips it just ends.

private:
    void StopLocked() {
        if (token_) Gdiplus::GdiplusShutdown(token_);
        token_ = 0;
    }

    std::mutex lock_;
    ULONG_PTR token_ = 0;
    int users_ = 0;
};

DecoderState& Decoder() {
    static DecoderState state;
    return state;
}

// A registration as decoder user for one decode.
class DecoderUse {
public:
    explicit DecoderUse(bool shutDownAfter) : shutDownAfter_(shutDownAfter), started_(Decoder().AddUser()) {}
    ~DecoderUse() { Decoder().ReleaseUser(shutDownAfter_); }
    DecoderUse(const DecoderUse&) = delete;
    DecoderUse& operator=(const DecoderUse&) = delete;
    bool Started() const { return started_; }

private:
    bool shutDownAfter_;
    bool started_;
};

unsigned g_resourceLookups = 0;

std::unordered_map<std::uint32_t, std::shared_ptr<CImageWrapper>>& Cache() {
    static std::unordered_map<std::uint32_t, std::shared_ptr<CImageWrapper>> cache;
    return cache;
}

// A top-down DIB section; bits receives its pixels.
UniqueBitmap CreateDib(int width, int height, int bitCount, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    UniqueBitmap dib(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
    if (!*bits) dib.reset();
    return dib;
}

int DibStride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

// Copies a decoded picture into a new DIB of the given depth (24 or 32 bit).
UniqueBitmap ToDib(Gdiplus::Bitmap& source, int bitCount, int* width, int* height) {
    const int w = static_cast<int>(source.GetWidth());
    const int h = static_cast<int>(source.GetHeight());
    if (w <= 0 || h <= 0) return {};
    void* bits = nullptr;
    UniqueBitmap dib = CreateDib(w, h, bitCount, &bits);
    if (!dib) return {};
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(w);
    data.Height = static_cast<UINT>(h);
    data.Stride = DibStride(w, bitCount);
    data.PixelFormat = bitCount == 32 ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    data.Scan0 = bits;
    Gdiplus::Rect all(0, 0, w, h);
    if (source.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        data.PixelFormat, &data) != Gdiplus::Ok)
        return {};
    source.UnlockBits(&data);
    *width = w;
    *height = h;
    return dib;
}

std::shared_ptr<CImageWrapper> DecodePng(const void* bytes, DWORD size) {
    auto picture = std::make_shared<CImageWrapper>();
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) return picture;
    void* target = ::GlobalLock(block.get());
    if (!target) return picture;
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(block.get());

    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block.get(), FALSE, stream.put()))) return picture;

    DecoderUse use(false);
    if (!use.Started()) return picture;
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream.get()));
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok) return picture;
    int width = 0, height = 0;
    UniqueBitmap dib = ToDib(*decoded, 32, &width, &height);
    if (!dib) return picture;
    DIBSECTION section{};
    if (::GetObjectW(dib.get(), sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits)
        return picture;
    PremultiplyBgra(static_cast<std::uint8_t*>(section.dsBm.bmBits),
                    static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    picture->bitmap = std::move(dib);
    picture->width = width;
    picture->height = height;
    return picture;
}

}  // namespace

std::shared_ptr<CImageWrapper> LoadResourcePicture(std::uint32_t id, HMODULE module) {
    auto& cache = Cache();
    if (auto found = cache.find(id); found != cache.end()) return found->second;

    if (!module) module = ::GetModuleHandleW(nullptr);
    ++g_resourceLookups;
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!info) return {};
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = ::SizeofResource(module, info);
    if (!bytes || size == 0) return {};

    auto picture = DecodePng(bytes, size);
    cache.emplace(id, picture);
    return picture;
}

std::optional<SlidePicture> LoadPictureFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;

    SlidePicture slide;
    DecoderUse use(true);
    if (use.Started()) {
        Gdiplus::Bitmap decoded(path.c_str());
        if (decoded.GetLastStatus() == Gdiplus::Ok) {
            const Gdiplus::PixelFormat format = decoded.GetPixelFormat();
            // Slides are JPEG, so 24 bit; a picture with alpha or of 32 bits keeps them.
            const int bitCount =
                (Gdiplus::IsAlphaPixelFormat(format) || Gdiplus::GetPixelFormatSize(format) == 32) ? 32 : 24;
            slide.bitmap = ToDib(decoded, bitCount, &slide.width, &slide.height);
        }
    }  // the decoder's bitmap is gone before the decoder may stop
    // A file that is no picture is left out, like a missing one.
    if (!slide.bitmap) return std::nullopt;
    return slide;
}

void ShutdownPictureDecoder() { Decoder().Shutdown(); }

bool PictureDecoderRunning() { return Decoder().Running(); }

unsigned PictureResourceLookups() { return g_resourceLookups; }

}  // namespace ovek
