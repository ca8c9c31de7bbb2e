#include "engine/EngineText.h"
#include "manifest/InstallerContext.h"

namespace ovek {

std::wstring LookUpEngineText(EngineText id) {
    return TheContext().language.LookUpText(EngineTextEntry(id));
}

}  // namespace ovek
