#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/COvekMasterInstallerApp.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

using test::BuildPath;

// The DLL names of the import table of a 64-bit PE image, lower case.
std::vector<std::string> ImportedDlls(const std::string& image) {
    std::vector<std::string> names;
    auto at = [&](std::size_t offset, std::size_t size) { return offset + size <= image.size(); };
    IMAGE_DOS_HEADER dos;
    if (!at(0, sizeof(dos))) return names;
    std::memcpy(&dos, image.data(), sizeof(dos));
    IMAGE_NT_HEADERS64 nt;
    if (!at(dos.e_lfanew, sizeof(nt))) return names;
    std::memcpy(&nt, image.data() + dos.e_lfanew, sizeof(nt));
    if (nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) return names;
    const std::size_t sections = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                                 nt.FileHeader.SizeOfOptionalHeader;
    auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER s;
            if (!at(sections + i * sizeof(s), sizeof(s))) break;
            std::memcpy(&s, image.data() + sections + i * sizeof(s), sizeof(s));
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return image.size();
    };
    auto text = [&](DWORD rva) {
        std::string name;
        for (std::size_t p = fileOffset(rva); p < image.size() && image[p]; ++p)
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(image[p])));
        return name;
    };
    const IMAGE_DATA_DIRECTORY& dir = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) return names;
    IMAGE_IMPORT_DESCRIPTOR d;
    for (std::size_t p = fileOffset(dir.VirtualAddress); at(p, sizeof(d)); p += sizeof(d)) {
        std::memcpy(&d, image.data() + p, sizeof(d));
        if (d.Name == 0) break;
        names.push_back(text(d.Name));
    }
    return names;
}

std::string ReadImage(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The delay-loaded DLLs are not listed here: GNU ld leaves the image's
// delay-import directory empty (the stubs work without it).
TEST(ImportTable, NamesOnlyKnownDlls) {
    const std::string image = ReadImage(BuildPath(L"OvekWebInstaller.exe"));
    ASSERT_FALSE(image.empty());
    // Known DLLs of Windows 10 and 11, and the common controls, which the
    // application manifest takes from the side-by-side store.
    const std::set<std::string> allowed = {
        "advapi32.dll", "clbcatq.dll", "combase.dll",  "comdlg32.dll", "coml2.dll",    "gdi32.dll",
        "imagehlp.dll", "imm32.dll",   "kernel32.dll", "msctf.dll",    "msvcrt.dll",   "normaliz.dll",
        "nsi.dll",      "ole32.dll",   "oleaut32.dll", "psapi.dll",    "rpcrt4.dll",   "sechost.dll",
        "setupapi.dll", "shcore.dll",  "shell32.dll",  "shlwapi.dll",  "user32.dll",   "wldap32.dll",
        "ws2_32.dll",   "comctl32.dll"};
    const auto imported = ImportedDlls(image);
    ASSERT_FALSE(imported.empty());
    for (const auto& dll : imported) EXPECT_TRUE(allowed.count(dll)) << dll << " is open to planting";
}

// Makes Wine prefer a DLL found on the search path to its built-in one for
// one program name, as Windows does, so that the program folder matters.
// (WINEDLLOVERRIDES in a child's environment block is not honoured.)
class PreferPlantedDll {
public:
    PreferPlantedDll(const std::wstring& program, const wchar_t* dll)
        : key_(L"Software\\Wine\\AppDefaults\\" + program + L"\\DllOverrides") {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            const wchar_t order[] = L"native,builtin";
            ::RegSetValueExW(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof(order));
            ::RegCloseKey(key);
        }
    }
    ~PreferPlantedDll() { ::RegDeleteTreeW(HKEY_CURRENT_USER, (key_.substr(0, key_.rfind(L'\\'))).c_str()); }

private:
    std::wstring key_;
};

// A wininet.dll dropped beside the program.
TEST(DllPlanting, PlantedDllLoadsWithoutTheEntryPointButNeverIntoTheInstaller) {
    const std::wstring folder = test::MakeTempFolder(L"dll-planting");
    const std::wstring probe = folder + L"\\planting-probe.exe";
    const std::wstring installer = folder + L"\\planting-installer.exe";
    ASSERT_TRUE(::CopyFileW(BuildPath(L"planted\\wininet.dll").c_str(), (folder + L"\\wininet.dll").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(BuildPath(L"unprotected_probe_helper.exe").c_str(), probe.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(BuildPath(L"OvekWebInstaller.exe").c_str(), installer.c_str(), FALSE));
    UniqueHandle loaded(::CreateEventW(nullptr, TRUE, FALSE, L"OvekTestPlantedDllLoaded"));
    ASSERT_TRUE(loaded);
    PreferPlantedDll probeOverride(L"planting-probe.exe", L"wininet");
    PreferPlantedDll installerOverride(L"planting-installer.exe", L"wininet");

    // The attack: a program that calls into wininet loads the planted copy.
    ASSERT_EQ(test::RunProcess(L"\"" + probe + L"\"", 20000), std::optional<DWORD>(0));
    EXPECT_EQ(::WaitForSingleObject(loaded.get(), 0), WAIT_OBJECT_0) << "the planted DLL was not loaded: no attack";

    // The defence: the installer opens its internet session while its static
    // objects are built, and ends at once as a second copy.
    ::ResetEvent(loaded.get());
    UniqueHandle firstCopy(::CreateSemaphoreW(nullptr, 0, 1, kInstanceSemaphoreName));
    ASSERT_TRUE(firstCopy);
    EXPECT_TRUE(test::RunProcess(L"\"" + installer + L"\" /n", 20000).has_value());
    EXPECT_NE(::WaitForSingleObject(loaded.get(), 0), WAIT_OBJECT_0) << "the installer loaded the planted DLL";
}

}  // namespace
}  // namespace ovek
