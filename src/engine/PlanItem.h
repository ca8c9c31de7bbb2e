#pragma once
// One step of an installation plan.
#include <cstdint>
#include <string>

namespace ovek {

struct PlanItem {
    std::wstring name;         // the package's name (the main package: its file name)
    std::wstring url;          // where it is downloaded from
    std::wstring localPath;    // where it is stored and run from
    std::wstring commandLine;  // arguments of an executable package
    std::int32_t needsDownload = 0;
};

}  // namespace ovek
