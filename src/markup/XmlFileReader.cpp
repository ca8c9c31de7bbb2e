#include "markup/XmlFileReader.h"

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

#include "markup/XmlDocument.h"
#include "markup/XmlEncoding.h"
#include "markup/XmlReport.h"

namespace ovek {

using namespace xml;

static_assert(sizeof(wchar_t) == 2, "the file reader fills UTF-16 text");

namespace {

struct ByteOrderMark {
    unsigned char bytes[3];
    size_t length;
    const wchar_t* encoding;
    uint32_t flag;
};

constexpr ByteOrderMark kMarks[] = {
    {{0xEF, 0xBB, 0xBF}, 3, L"UTF-8", CXmlDocument::kUtf8Bom},
    {{0xFF, 0xFE, 0}, 2, L"UTF-16LE", CXmlDocument::kUtf16LeBom},
    {{0xFE, 0xFF, 0}, 2, L"UTF-16BE", CXmlDocument::kUtf16BeBom},
};

}  // namespace

// ---------------------------------------------------------------------------

size_t TextConverter::ToUtf16(std::wstring_view sourceName, const char* source, size_t count,
                              wchar_t* target, size_t capacity) {
    int codePage = CodePageOfName(sourceName);
    if (codePage == kCodePageUtf32) {
        // Little-endian 32-bit code points; a partial last unit is dropped.
        size_t written = 0;
        for (size_t i = 0; i + 4 <= count; i += 4) {
            uint32_t cp = static_cast<unsigned char>(source[i]) |
                          static_cast<unsigned char>(source[i + 1]) << 8 |
                          static_cast<unsigned char>(source[i + 2]) << 16 |
                          static_cast<uint32_t>(static_cast<unsigned char>(source[i + 3])) << 24;
            if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
            size_t units = cp >= 0x10000 ? 2 : 1;
            if (target) {
                if (written + units > capacity) return 0;
                if (units == 2) {
                    target[written] = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
                    target[written + 1] = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
                } else {
                    target[written] = static_cast<wchar_t>(cp);
                }
            }
            written += units;
        }
        return written;
    }
    if (codePage == kCodePageUtf16) return 0;  // not a multi-byte code page
    if (codePage < 0) codePage = 0;
    if (count == 0 || count > INT_MAX || capacity > INT_MAX) return 0;
    int n = ::MultiByteToWideChar(static_cast<UINT>(codePage), 0, source, static_cast<int>(count),
                                  target, target ? static_cast<int>(capacity) : 0);
    return n > 0 ? static_cast<size_t>(n) : 0;
}

// ---------------------------------------------------------------------------

void XmlFileReader::FileError() {
    const DWORD code = ::GetLastError();
    std::wstring message;
    wchar_t* buffer = nullptr;
    DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (n && buffer) message.assign(buffer, n);
    if (buffer) ::LocalFree(buffer);
    message = message.substr(0, message.find_first_of(L"\r\n"));
    AddReportEntry(report_, L"file_error",
                   {{L"msg", message}, {L"n", ReportNumber(static_cast<int32_t>(code))}});
}

bool XmlFileReader::ReadBytes(void* destination, int32_t bytes) {
    DWORD read = 0;
    if (!::ReadFile(file_.get(), destination, static_cast<DWORD>(bytes), &read, nullptr)) {
        FileError();
        return false;
    }
    if (read != static_cast<DWORD>(bytes)) {
        // The file became shorter while we read it.
        ::SetLastError(ERROR_HANDLE_EOF);
        FileError();
        return false;
    }
    fileOffset_ += bytes;
    return true;
}

void XmlFileReader::RecordRead(int32_t units) {
    unitsTransferred_ = units;
    AddReportEntry(report_, L"read", {{L"encoding", encoding_}, {L"length", ReportNumber(units)}});
}

bool XmlFileReader::Open(const wchar_t* path) {
    report_.clear();
    file_.reset(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        FileError();
        return false;
    }
    unitSize_ = 1;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file_.get(), &size)) {
        FileError();
        file_.reset();
        return false;
    }
    // Lengths and offsets are 32-bit signed.
    if (size.QuadPart > INT32_MAX) {
        ::SetLastError(ERROR_FILE_TOO_LARGE);
        FileError();
        file_.reset();
        return false;
    }
    fileLength_ = static_cast<int32_t>(size.QuadPart);
    fileOffset_ = 0;
    if (fileLength_ == 0) return true;

    unsigned char head[1024];
    const int32_t headLength = std::min<int32_t>(fileLength_, sizeof head);
    if (!ReadBytes(head, headLength)) {
        file_.reset();
        return false;
    }
    flags_ &= ~(CXmlDocument::kUtf8Bom | CXmlDocument::kUtf16LeBom);
    size_t markLength = 0;
    for (const auto& mark : kMarks) {
        if (static_cast<size_t>(headLength) >= mark.length &&
            std::equal(mark.bytes, mark.bytes + mark.length, head)) {
            markLength = mark.length;
            encoding_ = mark.encoding;
            flags_ |= mark.flag;
            if (mark.length == 2) unitSize_ = 2;
            break;
        }
    }
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(markLength);
    if (!::SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN)) {
        FileError();
        file_.reset();
        return false;
    }
    if (!markLength) {
        const char* bytes = reinterpret_cast<const char*>(head);
        TextConverter converter;
        std::wstring text(converter.ToUtf16(L"UTF-8", bytes, headLength, nullptr, 0), L'\0');
        text.resize(converter.ToUtf16(L"UTF-8", bytes, headLength, text.data(), text.size()));
        encoding_ = DeclaredEncoding(text.data(), text.size());
        if (encoding_.empty() && head[0] == '<') encoding_ = L"UTF-8";
    }
    fileOffset_ = static_cast<int32_t>(markLength);
    if (markLength) AddReportEntry(report_, L"bom");
    return true;
}

bool XmlFileReader::ReadText(std::wstring& text) {
    report_.clear();
    text.clear();
    const int32_t bytes = fileLength_ - fileOffset_;
    if (bytes <= 0) {
        RecordRead(0);
        return true;
    }

    if (flags_ & (CXmlDocument::kUtf16LeBom | CXmlDocument::kUtf16BeBom)) {
        // Read straight into the text; an odd last byte is no unit and is dropped.
        text.resize(static_cast<size_t>(bytes) / 2 + 1);
        if (!ReadBytes(text.data(), bytes)) {
            text.clear();
            return false;
        }
        text.resize(static_cast<size_t>(bytes) / 2);
        RecordRead(static_cast<int32_t>(text.size()));
        const size_t before = text.size();
        text.erase(std::remove(text.begin(), text.end(), L'\0'), text.end());
        if (const size_t removed = before - text.size()) {
            AddReportEntry(report_, L"nulls_removed", {{L"count", ReportNumber(removed)}});
            unitsTransferred_ -= static_cast<int32_t>(removed);
        }
        if (flags_ & CXmlDocument::kUtf16BeBom) {
            for (wchar_t& unit : text)
                unit = static_cast<wchar_t>(((unit & 0xFF) << 8) | ((unit >> 8) & 0xFF));
            AddReportEntry(report_, L"endian_swap");
        }
        return true;
    }

    std::vector<char> buffer(static_cast<size_t>(bytes));
    if (!ReadBytes(buffer.data(), bytes)) return false;
    RecordRead(bytes);
    buffer.erase(std::remove(buffer.begin(), buffer.end(), '\0'), buffer.end());
    if (const size_t removed = static_cast<size_t>(bytes) - buffer.size()) {
        AddReportEntry(report_, L"nulls_removed", {{L"count", ReportNumber(removed)}});
        unitsTransferred_ -= static_cast<int32_t>(removed);
    }

    if (encoding_.empty()) {
        if (HasUtf8Form(reinterpret_cast<const unsigned char*>(buffer.data()), buffer.size())) {
            encoding_ = L"UTF-8";
            CompleteReportEntry(report_, L"read", L"encoding", L"UTF-8");
        }
        AddReportEntry(report_, L"utf8_detection");
    }

    // A declaration that names a 32-bit encoding was itself read as 8-bit
    // text, so the file cannot hold 32-bit units: no text comes of it.
    const int codePage = CodePageOfName(encoding_);
    size_t length = 0;
    if (codePage != kCodePageUtf32 && codePage != 12000 && codePage != 12001) {
        TextConverter converter;
        length = converter.ToUtf16(encoding_, buffer.data(), buffer.size(), nullptr, 0);
        if (length) {
            text.resize(length + length / 100);
            length = converter.ToUtf16(encoding_, buffer.data(), buffer.size(), text.data(),
                                       text.size());
        }
    }
    text.resize(length);
    AddReportEntry(report_, L"converted_to",
                   {{L"encoding", L"UTF-16"}, {L"length", ReportNumber(static_cast<int64_t>(length))}});
    return true;
}

void XmlFileReader::Close() {
    if (!file_) return;
    if (!::CloseHandle(file_.release())) FileError();
}

// ---------------------------------------------------------------------------

bool CXmlDocument::LoadFile(const wchar_t* path) {
    try {
        // Byte-order marks describe the file last loaded, never an earlier
        // one: a stale UTF-16BE mark would make a UTF-8 file read as UTF-16.
        flags_ &= ~(kUtf8Bom | kUtf16LeBom | kUtf16BeBom);
        XmlFileReader reader(flags_ | XmlFileReader::kRead);
        const bool opened = reader.Open(path ? path : L"");
        result_ = reader.Report();
        Clear();
        if (!opened) return false;
        const bool read = reader.ReadText(text_);
        reader.Close();
        flags_ = reader.Flags() &
                 ~(XmlFileReader::kRead | XmlFileReader::kWrite | XmlFileReader::kAppend);
        result_ += reader.Report();
        if (!read) {
            Clear();
            return false;
        }
        return Parse();
    } catch (const std::bad_alloc&) {
        Clear();
        AddReportEntry(result_, L"out_of_memory");
        return false;
    }
}

}  // namespace ovek
