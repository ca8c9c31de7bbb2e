#include "manifest/ParseManifest.h"

namespace ovek {

// Replaced by the reader over the markup document once that is in.
bool ParseManifest(const std::wstring&, ProductManifest&) { return false; }

}  // namespace ovek
