#pragma once
// The Windows Installer packages built for the tests (tests/packages), and
// installing and removing them with the real Windows Installer.
#include <windows.h>
#include <string>

namespace ovek::test {

struct TestPackage {
    const wchar_t* file;  // in build/packages
    const wchar_t* productCode;
    const wchar_t* upgradeCode;
    const wchar_t* version;
    const wchar_t* folder;  // under Program Files
};

// The sample product: the codes of sample/config/manifest.xml.
inline constexpr TestPackage kSampleProduct{L"kavro_free.msi", L"{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}",
                                            L"{C89AB692-9247-40AB-86C4-59A06BCE4A03}", L"2.1.0.0",
                                            L"KAVRO Free"};
// An older generation: the same upgrade code, another product code.
inline constexpr TestPackage kOlderProduct{L"kavro_free_old.msi", L"{D78D0136-3EC2-41CF-AA0B-1731EDB239E6}",
                                           L"{C89AB692-9247-40AB-86C4-59A06BCE4A03}", L"1.5.0.0",
                                           L"KAVRO Free 1.5"};
// Records no install location.
inline constexpr TestPackage kNoLocationProduct{L"kavro_no_location.msi", L"{01C536DC-58A6-4FAD-81D5-492724FDE00B}",
                                                L"{135C4C69-9DA9-489F-83FD-85708597840A}", L"2.0.0.0",
                                                L"KAVRO Free NL"};
// Its launch condition is false: installing it always fails.
inline constexpr TestPackage kFailingProduct{L"kavro_failing.msi", L"{9BDB0EBD-8367-4997-99A0-CF4D58A1EF07}",
                                             L"{1A4A1347-49FF-4F42-BB56-3C1920B9152D}", L"2.1.0.0",
                                             L"KAVRO Free F"};
// Its 306-character name does not fit the property buffer of detection.
inline constexpr TestPackage kLongNameProduct{L"kavro_long_name.msi", L"{02C0FCFC-E306-4C9F-A152-15A3CDE147F6}",
                                              L"{7F48FE7E-D65F-476A-A082-D06747E702FF}", L"2.1.0.0",
                                              L"KAVRO Free LN"};
inline constexpr const TestPackage* kAllTestPackages[] = {&kSampleProduct, &kOlderProduct, &kNoLocationProduct,
                                                          &kFailingProduct, &kLongNameProduct};

std::wstring PackagePath(const TestPackage& package);
// Silent install with MsiInstallProductW; the Windows Installer result.
UINT InstallPackage(const TestPackage& package, const std::wstring& properties = L"");
// Removes the product when it is installed; ERROR_SUCCESS when it is gone.
UINT RemoveProduct(const TestPackage& package);
bool IsProductInstalled(const TestPackage& package);
// Removes every test product, for fixtures that must start from a clean machine.
void RemoveAllTestProducts();

// Installs in its constructor and removes in its destructor, so a test
// leaves nothing behind whatever its order.
class ScopedInstall {
public:
    explicit ScopedInstall(const TestPackage& package, const std::wstring& properties = L"")
        : package_(package), result_(InstallPackage(package, properties)) {}
    ~ScopedInstall() { RemoveProduct(package_); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;
    UINT Result() const { return result_; }

private:
    const TestPackage& package_;
    UINT result_;
};

}  // namespace ovek::test
