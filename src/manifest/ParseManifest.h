#pragma once
// Reads a manifest file into a record. Elements are read strictly forward:
// each is looked for after the sibling found before it, so an element that
// stands before an earlier-listed sibling is not seen. Fields whose elements
// are missing keep their values.
#include <string>

#include "manifest/ProductManifest.h"

namespace ovek {

class CXmlDocument;

// False only when the file cannot be read or is not well formed.
bool ParseManifest(const std::wstring& path, ProductManifest& manifest);
// The walk over a loaded document.
void ReadManifest(CXmlDocument& document, ProductManifest& manifest);

}  // namespace ovek
