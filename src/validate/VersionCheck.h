#pragma once
// The maker's version document: what the server says about the newest
// product and the oldest installer that may install it, and the check that
// fetches it and decides whether this installation may go on.
#include <string>

namespace ovek {

struct ProductManifest;
class CXmlDocument;

// Reads the document into the version fields of the manifest record; missing
// or misplaced elements leave their fields as they were. False when the file
// is missing or is not a well-formed document.
bool ParseVersionDocument(const std::wstring& path, ProductManifest& manifest);
// The walk over an already parsed document.
void ReadVersionDocument(CXmlDocument& document, ProductManifest& manifest);
// The same, into the installer context's manifest.
bool ParseVersionDocument(const std::wstring& path);

// Fetches and reads the document (a standalone installer fetches nothing)
// and returns the install decision, or 4 when no document could be had.
int CheckVersion();

inline constexpr int kVersionDocumentUnavailable = 4;

}  // namespace ovek
