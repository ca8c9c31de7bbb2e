// Parse throughput of CXmlDocument against XmlLite, the platform's own pull
// reader, on the same generated document held in memory.
//
// Prints both figures in MB/s (UTF-16 bytes of text per second, best of
// several runs) and, last, "ratio R" with R = ours / XmlLite.
#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/Handles.h"
#include "markup/XmlDocument.h"

// The reader interface as documented for XmlLite; MinGW has no import
// library for it, so the DLL is loaded at run time. Not in an anonymous
// namespace: a type without visible implementations there lets the compiler
// treat calls through it as unreachable.
namespace xmllite {
enum XmlNodeType { XmlNodeType_None = 0 };
constexpr UINT kXmlReaderPropertyDtdProcessing = 4;
constexpr UINT kXmlReaderPropertyMaxElementDepth = 6;
constexpr LONG_PTR kDtdProcessingProhibit = 0;

struct IXmlReader : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetInput(IUnknown* input) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperty(UINT property, LONG_PTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProperty(UINT property, LONG_PTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Read(XmlNodeType* nodeType) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNodeType(XmlNodeType* nodeType) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveToFirstAttribute() = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveToNextAttribute() = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveToAttributeByName(LPCWSTR localName, LPCWSTR namespaceUri) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveToElement() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetQualifiedName(LPCWSTR* name, UINT* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNamespaceUri(LPCWSTR* uri, UINT* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLocalName(LPCWSTR* name, UINT* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPrefix(LPCWSTR* prefix, UINT* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetValue(LPCWSTR* value, UINT* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadValueChunk(WCHAR* buffer, UINT chunkSize, UINT* read) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBaseUri(LPCWSTR* uri, UINT* length) = 0;
    virtual BOOL STDMETHODCALLTYPE IsDefault() = 0;
    virtual BOOL STDMETHODCALLTYPE IsEmptyElement() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLineNumber(UINT* line) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLinePosition(UINT* position) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeCount(UINT* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDepth(UINT* depth) = 0;
    virtual BOOL STDMETHODCALLTYPE IsEOF() = 0;
};
// {7279FC81-709D-4095-B63D-69FE4B0D9030}
constexpr GUID kIidXmlReader = {0x7279FC81, 0x709D, 0x4095, {0xB6, 0x3D, 0x69, 0xFE, 0x4B, 0x0D, 0x90, 0x30}};
using CreateXmlReaderFn = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

// A read-only stream over bytes held in memory whose reads end just after a
// '>' where they can. Wine's reader fails when a delimiter such as "-->" or
// a name and its '=' straddle two reads; real XmlLite does not care, and the
// bytes delivered are the same either way.
class MarkupStream : public IStream {
public:
    MarkupStream(const std::string& bytes, size_t unit) : bytes_(bytes), unit_(unit) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the caller's stack, longer than the reader that uses it.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override {
        const size_t rest = bytes_.size() - position_;
        size_t take = std::min<size_t>(size, rest);
        take -= take % unit_;
        if (take < rest) {
            for (size_t end = take; end >= unit_; end -= unit_) {
                if (bytes_[position_ + end - unit_] == '>' &&
                    (unit_ == 1 || bytes_[position_ + end - 1] == 0)) {
                    take = end;
                    break;
                }
            }
        }
        std::memcpy(buffer, bytes_.data() + position_, take);
        position_ += take;
        if (read) *read = static_cast<ULONG>(take);
        return take == 0 && size > 0 ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    const std::string& bytes_;
    size_t unit_;
    size_t position_ = 0;
    ULONG references_ = 1;
};

}  // namespace xmllite

namespace {

using namespace xmllite;

struct LibraryTraits {
    using Type = HMODULE;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A document of at least `minimum` units: records with attributes, text,
// references, comments and CDATA, and now and then a chain a few hundred
// elements deep.
std::wstring MakeDocument(size_t minimum) {
    std::wstring text = L"<?xml version=\"1.0\"?>\r\n<catalog version=\"4.2\">\r\n";
    text.reserve(minimum + minimum / 8);
    unsigned seed = 1;
    for (size_t record = 0; text.size() < minimum; ++record) {
        seed = seed * 1103515245u + 12345u;
        const std::wstring n = std::to_wstring(record);
        text += L"  <item id=\"" + n + L"\" kind='package' size=\"" + std::to_wstring(seed % 100000) +
                L"\" note=\"a &gt; b\">\r\n";
        text += L"    <!-- record " + n + L" of the catalogue -->\r\n";
        text += L"    <name lang=\"en\">Component &amp; part number " + n + L" &#65;&#x42;</name>\r\n";
        text += L"    <description><![CDATA[Free text with <markup> & symbols that stay as they are]]>"
                L" and a tail of ordinary words &lt;here&gt;</description>\r\n";
        text += L"    <url>http://127.0.0.1/files/component" + n + L".msi</url>\r\n";
        text += L"    <flags><a/><b x=\"1\"/><c y='2' z=\"3\"/></flags>\r\n";
        if (record % 500 == 0) {
            const int depth = 300;
            for (int d = 0; d < depth; ++d) text += L"<level d=\"" + std::to_wstring(d) + L"\">";
            text += L"deep text";
            for (int d = 0; d < depth; ++d) text += L"</level>";
            text += L"\r\n";
        }
        text += L"  </item>\r\n";
    }
    text += L"</catalog>\r\n";
    return text;
}

// Best time of `runs` reads of every node of `bytes` by XmlLite; -1 when
// the reader fails.
double ReadWithXmlLite(CreateXmlReaderFn create, const std::string& bytes, size_t unit, int runs,
                       long long& nodes) {
    const char* input = unit == 2 ? "UTF-16" : "UTF-8";
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        MarkupStream stream(bytes, unit);
        ovek::ComPtr<IXmlReader> reader;
        HRESULT hr = create(kIidXmlReader, reader.put_void(), nullptr);
        if (FAILED(hr)) {
            std::printf("XmlLite: no reader (0x%08lx)\n", static_cast<unsigned long>(hr));
            return -1;
        }
        reader->SetProperty(kXmlReaderPropertyDtdProcessing, kDtdProcessingProhibit);
        reader->SetProperty(kXmlReaderPropertyMaxElementDepth, 1000);
        const double start = Now();
        hr = reader->SetInput(&stream);
        XmlNodeType type;
        long long count = 0;
        while (SUCCEEDED(hr) && (hr = reader->Read(&type)) == S_OK) ++count;
        const double elapsed = Now() - start;
        if (FAILED(hr)) {
            UINT line = 0, column = 0;
            reader->GetLineNumber(&line);
            reader->GetLinePosition(&column);
            std::printf("XmlLite (%s input): read failed after %lld nodes at line %u column %u "
                        "(0x%08lx)\n",
                        input, count, line, column, static_cast<unsigned long>(hr));
            return -1;
        }
        best = std::min(best, elapsed);
        nodes = count;
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // An optional argument gives the size in MB (default 16).
    const size_t size = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 16;
    const std::wstring text = MakeDocument((size ? size : 16) << 20);
    const double megabytes = static_cast<double>(text.size() * sizeof(wchar_t)) / (1024.0 * 1024.0);
    wchar_t processor[128] = L"?";
    DWORD processorSize = sizeof processor;
    ::RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                   L"ProcessorNameString", RRF_RT_REG_SZ, nullptr, processor, &processorSize);
    std::printf("machine: %ls, %lu processors\n", processor, [] {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        return info.dwNumberOfProcessors;
    }());
    std::printf("document: %zu characters, %.1f MB of UTF-16 text; figures are MB of that text per second\n",
                text.size(), megabytes);
    const int runs = 5;

    // Ours.
    double best = 1e9;
    int32_t elements = 0;
    bool wellFormed = false;
    for (int run = 0; run < runs; ++run) {
        ovek::CXmlDocument doc;
        const double start = Now();
        wellFormed = doc.SetDocumentText(text);
        best = std::min(best, Now() - start);
        elements = doc.NextFreeElement() - 1;
    }
    if (!wellFormed) {
        std::printf("CXmlDocument: the generated document is not well formed\n");
        return 1;
    }
    const double ours = megabytes / best;
    std::printf("CXmlDocument: %d elements, best %.3f s, %.1f MB/s\n", elements, best, ours);

    // XmlLite, reading every node of the same text from a memory stream.
    ovek::ScopedHandle<LibraryTraits> library(::LoadLibraryW(L"xmllite.dll"));
    auto create = library ? reinterpret_cast<CreateXmlReaderFn>(
                                reinterpret_cast<void*>(::GetProcAddress(library.get(), "CreateXmlReader")))
                          : nullptr;
    if (!create) {
        std::printf("XmlLite: not available (%lu)\n", ::GetLastError());
        return 1;
    }
    // The text as UTF-16 with its byte-order mark; Wine's reader has been seen
    // to stop at a 16 KiB boundary of UTF-16 input, so UTF-8 is the fallback.
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    long long nodes = 0;
    best = ReadWithXmlLite(create, bytes, 2, runs, nodes);
    const char* input = "UTF-16";
    if (best < 0) {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                            nullptr, 0, nullptr, nullptr);
        bytes.assign(static_cast<size_t>(n), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                              n, nullptr, nullptr);
        best = ReadWithXmlLite(create, bytes, 1, runs, nodes);
        input = "UTF-8";
    }
    if (best < 0) return 1;
    const double theirs = megabytes / best;
    std::printf("XmlLite (%s input): %lld nodes, best %.3f s, %.1f MB/s\n", input, nodes, best, theirs);
    std::printf("ratio %.2f\n", ours / theirs);
    return 0;
}
