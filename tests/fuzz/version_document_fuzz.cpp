// The version-document reader's walk over any well-formed document: the
// document comes from the network, so this is the reader most exposed.
#include <cstddef>
#include <cstdint>

#include "FuzzText.h"
#include "manifest/ProductManifest.h"
#include "markup/XmlDocument.h"
#include "validate/VersionCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ovek::CXmlDocument document;
    if (!document.SetDocumentText(ovek::fuzz::DocumentText(data, size))) return 0;
    ovek::ProductManifest manifest;
    ovek::ReadVersionDocument(document, manifest);
    return 0;
}
