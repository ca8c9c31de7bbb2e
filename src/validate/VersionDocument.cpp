#include "validate/VersionCheck.h"

#include <windows.h>

#include "manifest/InstallerContext.h"
#include "markup/XmlDocument.h"

namespace ovek {

bool ParseVersionDocument(const std::wstring& path, ProductManifest& manifest) {
    if (path.empty() || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    CXmlDocument doc;
    if (!doc.LoadFile(path)) return false;
    ReadVersionDocument(doc, manifest);
    return true;
}

bool ParseVersionDocument(const std::wstring& path) {
    return ParseVersionDocument(path, TheContext().manifest);
}

}  // namespace ovek
