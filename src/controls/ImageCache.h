#pragma once
// The interface's pictures: PNG resources decoded once into premultiplied
// 32-bit bitmaps and shared through a process-wide cache keyed by resource
// id, and slide files decoded on demand for their owner. Interface thread
// only; the decoder's start-up and shut-down have a lock of their own.
#include <windows.h>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "framework/Handles.h"

namespace ovek {

class CImageWrapper {
public:
    UniqueBitmap bitmap;  // 32-bit, premultiplied; empty when decoding failed
    int width = 0;
    int height = 0;
    int frameCount = 1;
    int horizontalStrip = 1;
};

// The same object for the same id for the whole run. Empty (and asked for
// again next time) when the module has no "PNG" resource of that id; a
// resource that does not decode is kept as a wrapper without bitmap, size 0.
// module nullptr means the program's own module.
std::shared_ptr<CImageWrapper> LoadResourcePicture(std::uint32_t id, HMODULE module = nullptr);

struct SlidePicture {
    UniqueBitmap bitmap;  // in the file's own depth: 24-bit for JPEG
    int width = 0;
    int height = 0;
};

// Nothing when the file does not exist or does not decode, so that the
// caller never holds a picture without bitmap. Not cached: the caller owns
// the bitmap.
std::optional<SlidePicture> LoadPictureFile(const std::wstring& path);

// The exit step: stops the decoder if no decode is running. Cached pictures
// stay valid (they are plain bitmaps).
void ShutdownPictureDecoder();
bool PictureDecoderRunning();

// How often the cache has looked a picture up in a module's resources.
unsigned PictureResourceLookups();

}  // namespace ovek
