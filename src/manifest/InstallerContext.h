#pragma once
// What the installer knows about the product and this machine, gathered at
// start-up and read by every later phase.
namespace ovek {

class InstallerContext {
public:
    // Finds and reads the manifest and derives the local layout.
    // 0 on success; non-zero codes say what was missing.
    int LoadManifest();
};

InstallerContext& TheContext();

}  // namespace ovek
