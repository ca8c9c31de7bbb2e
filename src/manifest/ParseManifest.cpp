#include "manifest/ParseManifest.h"

#include "markup/XmlDocument.h"

namespace ovek {

bool ParseManifest(const std::wstring& path, ProductManifest& manifest) {
    CXmlDocument document;
    if (!document.LoadFile(path)) return false;
    ReadManifest(document, manifest);
    return true;
}

}  // namespace ovek
