// The walk over a parsed version document; no file access, so it builds and
// runs natively too.
#include "validate/VersionCheck.h"

#include "manifest/ProductManifest.h"
#include "markup/XmlDocument.h"
#include "markup/XmlReading.h"

namespace ovek {
namespace {

void ReadChannel(CXmlDocument& doc, VersionChannel& channel, std::wstring* productVersionCopy) {
    if (ReadChildText(doc, L"product_version", channel.productVersion) && productVersionCopy)
        *productVersionCopy = channel.productVersion;
    ReadChildText(doc, L"min_web_installer_version", channel.minWebInstallerVersion);
    ReadChildText(doc, L"web_installer_download_url", channel.webInstallerDownloadUrl);
}

}  // namespace

void ReadVersionDocument(CXmlDocument& doc, ProductManifest& manifest) {
    if (!doc.FindElement(L"ovekwebinstaller")) return;
    ReadChildText(doc, L"product_code", manifest.serverProductCode);
    doc.EnterElement();
    if (doc.FindElement(L"fresh_install")) ReadChannel(doc, manifest.freshInstall, nullptr);
    // The newest product version is the patch channel's, when it names one.
    if (doc.FindElement(L"patch_install")) ReadChannel(doc, manifest.patchInstall, &manifest.standaloneVersion);
}

}  // namespace ovek
