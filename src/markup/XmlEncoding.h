#pragma once
// Encoding names, the encoding a document declares, and the UTF-8 form
// check used on files without a byte-order mark. No platform calls here.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ovek::xml {

constexpr int kCodePageUtf32 = 65005;  // internal: 32-bit code points, never given to the platform
constexpr int kCodePageUtf16 = 1200;
constexpr int kCodePageUtf16Be = 1201;

// Windows code page of an encoding name: 0 (the ANSI code page) for an empty
// name, kCodePageUtf32 for names beginning "UTF-32", -1 when unknown.
int CodePageOfName(std::wstring_view name);

// Number of names in the table (for checks).
size_t EncodingNameCount();

// The encoding a text declares: the "encoding" of an <?xml ...?> at its
// start, or the charset of an html <meta http-equiv="Content-Type">; empty
// when there is none. Values are taken as written.
std::wstring DeclaredEncoding(const wchar_t* text, size_t length);

// True when the bytes have the form of UTF-8 (lead bytes followed by the
// right number of bytes with the top bit set).
bool HasUtf8Form(const unsigned char* bytes, size_t count);

}  // namespace ovek::xml
