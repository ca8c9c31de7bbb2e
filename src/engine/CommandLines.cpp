#include "engine/CommandLines.h"
#include "framework/DecimalText.h"

namespace ovek {

std::wstring ExecutableCommandLine(const std::wstring& path, const std::wstring& arguments) {
    const bool quoted = path.size() >= 2 && path.front() == L'"' && path.back() == L'"';
    return (quoted ? path : L"\"" + path + L"\"") + L" " + arguments;
}

std::wstring TransformPath(const std::wstring& transformFolder, std::int32_t languageId) {
    return transformFolder + DecimalText(languageId) + L".mst";
}

std::wstring MsiCommandLine(const MsiCommandLineInput& input) {
    std::wstring line;
    if (input.productInstalled) {
        line = L"REINSTALL=ALL REINSTALLMODE=vomus REBOOT=ReallySuppress";
    } else if (input.relatedProductInstalled) {
        if (input.installFolderExists) line = L"INSTALLDIR=\"" + input.installFolder + L"\"";
    } else if (input.installFolderExists) {
        std::wstring folder = input.installFolder;
        // One trailing backslash goes, but a drive root keeps its own.
        const bool driveRoot = folder.size() == 3 && folder[1] == L':';
        if (!folder.empty() && folder.back() == L'\\' && !driveRoot) folder.pop_back();
        line = L"INSTALLDIR=\"" + folder + L"\"";
    }
    if (input.languageId != 1033)
        line += L" TRANSFORMS=\"" + TransformPath(input.transformFolder, input.languageId) + L"\"";
    return line;
}

}  // namespace ovek
