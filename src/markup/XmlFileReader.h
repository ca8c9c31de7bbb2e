#pragma once
// Reading a markup file whole and decoding it to the document's text:
// byte-order marks, the declared encoding, a UTF-8 form check, NUL removal,
// byte swapping and code-page conversion through the platform.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Handles.h"

namespace ovek {

// Converts a run of text from a named encoding to UTF-16.
class TextConverter {
public:
    // Converts `count` bytes of `source` (encoding `sourceName`) into
    // `target`, or measures when `target` is null. Returns the units written
    // or needed; 0 when the encoding cannot be converted.
    size_t ToUtf16(std::wstring_view sourceName, const char* source, size_t count,
                   wchar_t* target, size_t capacity);
};

// Lives for one LoadFile: open, one read of the rest, close.
class XmlFileReader {
public:
    static constexpr uint32_t kRead = 0x10000;
    static constexpr uint32_t kWrite = 0x20000;
    static constexpr uint32_t kAppend = 0x40000;

    explicit XmlFileReader(uint32_t flags) : flags_(flags) {}

    // Opens the file, reads up to its first 1024 bytes to find a byte-order
    // mark or a declared encoding, and positions after the mark.
    bool Open(const wchar_t* path);
    // Reads the rest of the file and decodes it into `text`.
    bool ReadText(std::wstring& text);
    // Closes the file; a failure is recorded and otherwise ignored.
    void Close();

    uint32_t Flags() const { return flags_; }
    const std::wstring& Report() const { return report_; }
    const std::wstring& Encoding() const { return encoding_; }

private:
    bool ReadBytes(void* destination, int32_t bytes);
    void RecordRead(int32_t units);
    void FileError();

    UniqueHandle file_;
    uint32_t flags_ = 0;
    int32_t fileLength_ = 0;
    int32_t fileOffset_ = 0;
    int32_t unitSize_ = 1;
    int32_t unitsTransferred_ = 0;
    std::wstring report_;
    std::wstring encoding_;
};

}  // namespace ovek
