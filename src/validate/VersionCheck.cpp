#include "validate/VersionCheck.h"

#include "engine/ProductDetection.h"
#include "manifest/InstallerContext.h"
#include "validate/FetchFile.h"

namespace ovek {

int CheckVersion() {
    auto& context = TheContext();
    if (context.manifest.standalone) return static_cast<int>(DecideInstall());
    const std::wstring path = context.ComponentFilePath(L"version.xml");
    // A transfer that broke off, ran too long or grew too large is no
    // document, whatever part of it arrived.
    if (!FetchToFile(context.manifest.versionCheckUrl, path, kVersionDocumentLimits) ||
        !ParseVersionDocument(path))
        return kVersionDocumentUnavailable;
    return static_cast<int>(DecideInstall());
}

}  // namespace ovek
