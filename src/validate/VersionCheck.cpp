#include "validate/VersionCheck.h"

#include "engine/ProductDetection.h"
#include "manifest/InstallerContext.h"
#include "net/HttpTransfer.h"

namespace ovek {

int CheckVersion() {
    auto& context = TheContext();
    if (context.manifest.standalone) return static_cast<int>(DecideInstall());
    const std::wstring path = context.ComponentFilePath(L"version.xml");
    bool fetched = false;
    {
        CDownloadFile out(path);
        if (out.IsOpen()) {
            try {
                fetched = FetchToStream(CancelRequest(), context.manifest.versionCheckUrl, out);
            } catch (...) {
                fetched = false;
            }
            // The last bytes reach the file only here.
            if (!out.Close()) fetched = false;
        }
    }
    // A transfer that broke off is no document, whatever part of it arrived.
    if (!fetched || !ParseVersionDocument(path)) return kVersionDocumentUnavailable;
    return static_cast<int>(DecideInstall());
}

}  // namespace ovek
