#include "validate/VersionCheck.h"

#include <windows.h>

#include "manifest/InstallerContext.h"
#include "markup/XmlDocument.h"

namespace ovek {
namespace {

// Finds the child, takes its text, and comes back; the position moves on
// only when the child was there.
bool ReadChild(CXmlDocument& doc, const wchar_t* name, std::wstring& into) {
    if (!doc.FindChildElement(name)) return false;
    doc.EnterElement();
    into = doc.GetElementText();
    doc.LeaveElement();
    return true;
}

void ReadChannel(CXmlDocument& doc, VersionChannel& channel, std::wstring* productVersionCopy) {
    if (ReadChild(doc, L"product_version", channel.productVersion) && productVersionCopy)
        *productVersionCopy = channel.productVersion;
    ReadChild(doc, L"min_web_installer_version", channel.minWebInstallerVersion);
    ReadChild(doc, L"web_installer_download_url", channel.webInstallerDownloadUrl);
}

}  // namespace

bool ParseVersionDocument(const std::wstring& path, ProductManifest& manifest) {
    if (path.empty() || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    CXmlDocument doc;
    if (!doc.LoadFile(path)) return false;
    if (!doc.FindElement(L"ovekwebinstaller")) return true;
    ReadChild(doc, L"product_code", manifest.serverProductCode);
    doc.EnterElement();
    if (doc.FindElement(L"fresh_install")) ReadChannel(doc, manifest.freshInstall, nullptr);
    // The newest product version is the patch channel's, when it names one.
    if (doc.FindElement(L"patch_install")) ReadChannel(doc, manifest.patchInstall, &manifest.standaloneVersion);
    return true;
}

bool ParseVersionDocument(const std::wstring& path) {
    return ParseVersionDocument(path, TheContext().manifest);
}

}  // namespace ovek
