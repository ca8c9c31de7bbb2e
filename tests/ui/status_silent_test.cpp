// "/s" through the real installer process: the hidden wizard installs the
// sample product from the folder beside it and ends by itself, and no window
// of it is ever on the screen.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/InstallerWindows.h"
#include "support/TestPackages.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

constexpr wchar_t kSampleKey[] = L"SOFTWARE\\Ovek Systems\\KAVRO Free";

std::optional<std::wstring> ReadInstallDir() {
    wchar_t buffer[1024];
    DWORD size = sizeof(buffer);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSampleKey, L"InstallDir", RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

class SilentRun : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        test::RemoveAllTestProducts();
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSampleKey);
    }
};

TEST_F(SilentRun, InstallsWithNoWindowEverVisible) {
    namespace fs = std::filesystem;
    const std::wstring folder = test::MakeTempFolder(L"silent run");
    const fs::path sample(test::SourcePath(L"sample"));
    for (const auto& entry : fs::recursive_directory_iterator(sample)) {
        const fs::path target = fs::path(folder) / fs::relative(entry.path(), sample);
        if (entry.is_directory()) fs::create_directories(target);
        else fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
    }
    fs::create_directories(fs::path(folder + L"\\msi"));
    ASSERT_TRUE(::CopyFileW(test::PackagePath(test::kSampleProduct).c_str(), (folder + L"\\msi\\kavro_free.msi").c_str(),
                            FALSE));
    const std::wstring installer = folder + L"\\OvekWebInstaller.exe";
    ASSERT_TRUE(::CopyFileW(test::BuildPath(L"OvekWebInstaller.exe").c_str(), installer.c_str(), FALSE));

    auto child = test::ChildProcess::Start(L"\"" + installer + L"\" /s /n");
    ASSERT_TRUE(child);
    std::vector<std::wstring> seen;
    std::optional<DWORD> code;
    const DWORD start = ::GetTickCount();
    while (!code && ::GetTickCount() - start < 120000) {
        for (const test::ProcessWindow& w : test::TopLevelWindows(child->Id()))
            if (w.visible) seen.push_back(w.className);
        code = child->Wait(20);
    }
    if (!code) child->Kill();
    ASSERT_TRUE(code) << "the silent run did not end by itself";
    EXPECT_EQ(*code, 0u);
    EXPECT_TRUE(seen.empty()) << "a window of class " << std::string(seen[0].begin(), seen[0].end())
                              << " was visible";
    EXPECT_TRUE(test::IsProductInstalled(test::kSampleProduct));
    EXPECT_TRUE(ReadInstallDir().has_value());
}

}  // namespace
}  // namespace ovek
