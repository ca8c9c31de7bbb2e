#pragma once
// The command lines given to packages. Plain C++.
#include <cstdint>
#include <string>

namespace ovek {

// "path" arguments: the path is quoted, so a folder with spaces in its name
// ("C:\Users\Ann Lee\Downloads") still names the right program.
std::wstring ExecutableCommandLine(const std::wstring& path, const std::wstring& arguments);

struct MsiCommandLineInput {
    bool productInstalled = false;         // the same product: repair it in place
    bool relatedProductInstalled = false;  // an older generation: install over its folder
    std::wstring installFolder;
    bool installFolderExists = false;
    std::int32_t languageId = 1033;
    std::wstring transformFolder;  // ends with a backslash
};

// Windows Installer properties for the main package: reinstall or target
// folder, and the language transform for languages other than 1033.
std::wstring MsiCommandLine(const MsiCommandLineInput& input);

// The transform of a language: transformFolder, the number, ".mst".
std::wstring TransformPath(const std::wstring& transformFolder, std::int32_t languageId);

}  // namespace ovek
