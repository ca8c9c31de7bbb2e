#pragma once
// Character references in element text: &name; for the HTML 4.01 names and
// &apos;, &#decimal; and &#xhex;.
#include <cstddef>
#include <cstdint>
#include <string>

namespace ovek::xml {

// Appends code point cp as one unit, or as a surrogate pair from U+10000 up
// where wchar_t is 16 bits.
void AppendCodePoint(std::wstring& out, uint32_t cp);

// Code point of a named reference (name as written, 1 to 9 ASCII
// characters); 0 when the name is not known. Lookup ignores case; a name
// known in two case forms takes the form spelled exactly, else the first.
uint32_t NamedReferenceValue(const wchar_t* name, size_t length);

// Appends text[0, length) to `out` with references decoded. An '&' that does
// not begin a valid reference stays as it is.
void DecodeReferences(const wchar_t* text, size_t length, std::wstring& out);

// Number of entries in the named-reference table (for checks).
size_t NamedReferenceCount();

}  // namespace ovek::xml
