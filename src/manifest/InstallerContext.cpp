#include "manifest/InstallerContext.h"

namespace ovek {

int InstallerContext::LoadManifest() {
    return 1;  // no manifest reader yet
}

InstallerContext& TheContext() {
    static InstallerContext context;
    return context;
}

}  // namespace ovek
