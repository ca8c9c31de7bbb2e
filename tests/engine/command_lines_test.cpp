#include <gtest/gtest.h>

#include "engine/CommandLines.h"

namespace ovek {
namespace {

TEST(ExecutableCommandLine, QuotesThePathSoSpacesAreSafe) {
    EXPECT_EQ(ExecutableCommandLine(L"C:\\Users\\Ann Lee\\Downloads\\component\\123vc_redist.exe", L"/quiet /norestart"),
              L"\"C:\\Users\\Ann Lee\\Downloads\\component\\123vc_redist.exe\" /quiet /norestart");
    EXPECT_EQ(ExecutableCommandLine(L"\"C:\\a b\\x.exe\"", L"/s"), L"\"C:\\a b\\x.exe\" /s");
    EXPECT_EQ(ExecutableCommandLine(L"C:\\x.exe", L""), L"\"C:\\x.exe\" ");
}

TEST(MsiCommandLine, DependsOnWhatIsInstalled) {
    struct Case {
        const char* name;
        bool product, related;
        const wchar_t* folder;
        bool exists;
        std::int32_t language;
        const wchar_t* expected;
    } cases[] = {
        {"re-install", true, false, L"C:\\P\\K\\", true, 1033, L"REINSTALL=ALL REINSTALLMODE=vomus REBOOT=ReallySuppress"},
        {"re-install, German", true, false, L"C:\\P\\K\\", true, 1031,
         L"REINSTALL=ALL REINSTALLMODE=vomus REBOOT=ReallySuppress TRANSFORMS=\"C:\\E\\transform\\1031.mst\""},
        {"upgrade keeps the backslash", false, true, L"C:\\P\\K\\", true, 1033, L"INSTALLDIR=\"C:\\P\\K\\\""},
        {"upgrade, folder gone", false, true, L"C:\\P\\K\\", false, 1033, L""},
        {"fresh drops one backslash", false, false, L"C:\\P\\K\\", true, 1033, L"INSTALLDIR=\"C:\\P\\K\""},
        {"fresh, no backslash", false, false, L"C:\\Program Files\\Ovek Systems", true, 1033,
         L"INSTALLDIR=\"C:\\Program Files\\Ovek Systems\""},
        {"fresh on a drive root", false, false, L"D:\\", true, 1033, L"INSTALLDIR=\"D:\\\""},
        {"fresh, no folder, German", false, false, L"C:\\none", false, 1031,
         L" TRANSFORMS=\"C:\\E\\transform\\1031.mst\""},
    };
    for (auto& c : cases) {
        MsiCommandLineInput input;
        input.productInstalled = c.product;
        input.relatedProductInstalled = c.related;
        input.installFolder = c.folder;
        input.installFolderExists = c.exists;
        input.languageId = c.language;
        input.transformFolder = L"C:\\E\\transform\\";
        EXPECT_EQ(MsiCommandLine(input), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace ovek
