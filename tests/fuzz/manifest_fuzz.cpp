// The manifest reader's walk over any well-formed document.
#include <cstddef>
#include <cstdint>

#include "FuzzText.h"
#include "manifest/ParseManifest.h"
#include "markup/XmlDocument.h"

// Files are not read here; only the walk over parsed text is fuzzed.
bool ovek::CXmlDocument::LoadFile(const wchar_t*) { return false; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ovek::CXmlDocument document;
    if (!document.SetDocumentText(ovek::fuzz::DocumentText(data, size))) return 0;
    ovek::ProductManifest manifest;
    ovek::ReadManifest(document, manifest);
    return 0;
}
