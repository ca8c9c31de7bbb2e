#include "support/WindowCapture.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "framework/Gdi.h"
#include "framework/Handles.h"
#include "support/TestSupport.h"

namespace ovek::test {

std::string HexText(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", c.r, c.g, c.b);
    return text;
}

int ColorDistance(Rgb a, Rgb b) {
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

PixelBuffer::PixelBuffer(int width, int height, POINT origin)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), origin_(origin),
      pixels_(static_cast<size_t>(width_) * height_) {}

Rgb PixelBuffer::At(int x, int y) const {
    std::uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
    return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)};
}

void PixelBuffer::Set(int x, int y, Rgb c) {
    pixels_[static_cast<size_t>(y) * width_ + x] =
        (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

namespace {


std::string RectText(const RECT& r) {
    char text[96];
    std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld) [%ldx%ld]", r.left, r.top, r.right, r.bottom,
                  r.right - r.left, r.bottom - r.top);
    return text;
}

RECT Clip(const PixelBuffer& pixels, std::optional<RECT> within) {
    RECT all{0, 0, pixels.Width(), pixels.Height()};
    if (!within) return all;
    RECT r{};
    ::IntersectRect(&r, &all, &*within);
    return r;
}

}  // namespace

PixelBuffer CaptureScreenRect(const RECT& rect) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return {};
    CWindowDC screen(nullptr);
    if (!screen) return {};
    CMemorySurface surface(screen.get(), width, height);
    if (!surface) return {};
    if (!::BitBlt(surface.dc(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT))
        return {};
    ::GdiFlush();
    PixelBuffer pixels(width, height, {rect.left, rect.top});
    const std::uint32_t* source = surface.pixels();
    std::transform(source, source + static_cast<size_t>(width) * height, pixels.Data(),
                   [](std::uint32_t p) { return p & 0x00FFFFFFu; });
    return pixels;
}

PixelBuffer CaptureWindow(HWND window) {
    RECT r{};
    if (!::GetWindowRect(window, &r)) return {};
    return CaptureScreenRect(r);
}

PixelBuffer CaptureClient(HWND window) {
    RECT r{};
    if (!::GetClientRect(window, &r)) return {};
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return CaptureScreenRect(r);
}

std::optional<RECT> FindColorBounds(const PixelBuffer& pixels, Rgb color, int tolerance,
                                    std::optional<RECT> within) {
    RECT area = Clip(pixels, within);
    RECT box{area.right, area.bottom, area.left, area.top};
    bool found = false;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            if (ColorDistance(pixels.At(x, y), color) > tolerance) continue;
            found = true;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    if (!found) return std::nullopt;
    return box;
}

int CountColor(const PixelBuffer& pixels, Rgb color, int tolerance, const RECT& area) {
    RECT r = Clip(pixels, area);
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (ColorDistance(pixels.At(x, y), color) <= tolerance) ++count;
    return count;
}

::testing::AssertionResult PixelNear(const PixelBuffer& pixels, int x, int y, Rgb expected, int tolerance) {
    if (!pixels.Contains(x, y))
        return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is outside the "
                                             << pixels.Width() << "x" << pixels.Height() << " capture";
    Rgb found = pixels.At(x, y);
    if (ColorDistance(found, expected) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is " << HexText(found)
                                         << ", expected " << HexText(expected) << " within " << tolerance;
}

::testing::AssertionResult AreaFilled(const PixelBuffer& pixels, const RECT& area, Rgb expected, int tolerance) {
    RECT all{0, 0, pixels.Width(), pixels.Height()};
    RECT inside{};
    if (!::IntersectRect(&inside, &all, &area) || !::EqualRect(&inside, &area))
        return ::testing::AssertionFailure() << "area " << RectText(area) << " is not inside the "
                                             << pixels.Width() << "x" << pixels.Height() << " capture";
    int wrong = 0;
    POINT first{};
    Rgb firstColor{};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            Rgb c = pixels.At(x, y);
            if (ColorDistance(c, expected) <= tolerance) continue;
            if (wrong++ == 0) first = {x, y}, firstColor = c;
        }
    if (wrong == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong << " pixels of " << RectText(area) << " are not "
                                         << HexText(expected) << " within " << tolerance << "; the first, ("
                                         << first.x << "," << first.y << "), is " << HexText(firstColor);
}

::testing::AssertionResult ColorRectIs(const PixelBuffer& pixels, Rgb color, int tolerance, const RECT& expected,
                                       int slack, std::optional<RECT> within) {
    auto box = FindColorBounds(pixels, color, tolerance, within);
    if (!box)
        return ::testing::AssertionFailure() << "no pixel is " << HexText(color) << " within " << tolerance
                                             << "; expected them at " << RectText(expected);
    bool close = std::abs(box->left - expected.left) <= slack && std::abs(box->top - expected.top) <= slack &&
                 std::abs(box->right - expected.right) <= slack &&
                 std::abs(box->bottom - expected.bottom) <= slack;
    if (close) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << HexText(color) << " covers " << RectText(*box) << ", expected "
                                         << RectText(expected) << " within " << slack;
}

// PNG with "stored" deflate blocks: no compressor needed, any viewer reads it.
namespace {

std::uint32_t Crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char type[4], const std::vector<std::uint8_t>& body) {
    PutBigEndian(out, static_cast<std::uint32_t>(body.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    PutBigEndian(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const PixelBuffer& pixels) {
    const int w = pixels.Width(), h = pixels.Height();
    if (w <= 0 || h <= 0) return {};
    std::vector<std::uint8_t> raw;  // filter byte 0, then RGB, per row
    raw.reserve(static_cast<size_t>(h) * (1 + 3 * w));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w; ++x) {
            Rgb c = pixels.At(x, y);
            raw.insert(raw.end(), {c.r, c.g, c.b});
        }
    }
    std::vector<std::uint8_t> z{0x78, 0x01};
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        size_t len = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + len == raw.size();
        z.push_back(last ? 1 : 0);
        z.insert(z.end(), {static_cast<std::uint8_t>(len), static_cast<std::uint8_t>(len >> 8),
                           static_cast<std::uint8_t>(~len), static_cast<std::uint8_t>(~len >> 8)});
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + len);
        pos += len;
        if (last) break;
    }
    std::uint32_t a = 1, b = 0;  // Adler-32 of the uncompressed data
    for (std::uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
    PutBigEndian(z, (b << 16) | a);

    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(w));
    PutBigEndian(header, static_cast<std::uint32_t>(h));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit truecolour, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    return png;
}

bool SavePng(const PixelBuffer& pixels, const std::wstring& path) {
    auto bytes = EncodePng(pixels);
    if (bytes.empty()) return false;
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::wstring SaveScreenshot(const PixelBuffer& pixels, const std::wstring& name) {
    std::wstring folder = BuildPath(L"test-output");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"\\screenshots";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring path = folder + L"\\" + name + L".png";
    return SavePng(pixels, path) ? path : std::wstring{};
}

}  // namespace ovek::test
