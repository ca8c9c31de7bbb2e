#pragma once
// The installer as a person meets it: the real executable, started as its own
// process beside a manifest that fetches the sample package from the local
// test server, driven through its windows. The prefix's http handler records
// the addresses the installer opens; the product's editor stand-in tells by
// its semaphore that it was started.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "support/ServerSuite.h"
#include "support/TestPackages.h"
#include "support/TestSupport.h"
#include "engine/RunningProducts.h"
#include "framework/Handles.h"
#include "support/WindowWait.h"
#include "support/WizardDriver.h"

namespace ovek::wizardtest {

inline constexpr wchar_t kProductKey[] = L"SOFTWARE\\OvekTests\\KAVRO Free Wizard";
inline constexpr wchar_t kHomepage[] = L"http://127.0.0.1/kavro-free/welcome";  // set in the test package
inline constexpr wchar_t kEditorSemaphore[] = L"TesmoKavroFreeInstance_80";
inline constexpr wchar_t kEditorQuitEvent[] = L"OvekTestKavroEditorQuit";

// Generous limits: the first window after a wineserver start is slow, and
// an installation takes the panel's 3 s start plus download and install.
inline constexpr DWORD kWindowLimitMs = 30000;
inline constexpr DWORD kInstallLimitMs = 120000;

// A string value of the registry, if there is one.
inline std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t buffer[1024];
    DWORD size = sizeof(buffer);
    if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer,
                       &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

class WizardScenario : public test::ServerSuite {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the staged installer with these arguments; the driver follows it.
    test::WizardDriver StartInstaller(const std::wstring& arguments);
    // The package route, optionally throttled; set before StartInstaller.
    void ServePackage(std::uint64_t bytesPerSecond);
    // Waits for the page, failing early with the text of any message box.
    ::testing::AssertionResult WaitForPage(test::WizardDriver& driver, test::WizardPage page, DWORD timeoutMs);
    // The wizard has gone and the process has ended.
    ::testing::AssertionResult WaitForEnd(test::WizardDriver& driver, DWORD timeoutMs);

    // Addresses the shell was asked to open, in order.
    std::vector<std::wstring> OpenedAddresses() const;
    // The product's editor runs (it holds its semaphore).
    static bool ProductRunning();
    // Waits for the editor to start; false at the limit.
    static bool WaitForProductStart(DWORD timeoutMs);
    // True when the editor did not start within `watchMs`.
    static bool ProductStaysStopped(DWORD watchMs);
    static void StopProduct();
    // Whether the desktop shell can start programs here.
    static bool DesktopShellAvailable();

    std::size_t RequestsFor(const std::string& file);
    // Bytes downloaded so far into the folders beside the installer.
    std::uint64_t DownloadedBytes() const;

    std::string name_;
    std::wstring root_;          // the installer's own folder
    std::wstring installFolder_; // what the tests type into the folder field
    std::optional<test::ChildProcess> installer_;

private:
    std::string TestPath(const std::string& file) const { return "/" + name_ + "/" + file; }
    void WriteManifest();
    void PointHttpAtRecorder();
    void RestoreHttpHandler();

    std::wstring record_;
    std::optional<std::wstring> savedHttpCommand_;
    bool httpPointed_ = false;
};

// Sets the user's region (Geo Nation) for a test and puts the old one back.
class ScopedRegion {
public:
    explicit ScopedRegion(const std::wstring& nation);
    ~ScopedRegion();
    ScopedRegion(const ScopedRegion&) = delete;
    ScopedRegion& operator=(const ScopedRegion&) = delete;

private:
    std::optional<std::wstring> saved_;
};

// ---- implementation (the test folders compile only *_test.cpp files) ----


inline bool WriteTextFile(const std::wstring& path, const std::string& text) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += static_cast<char>(c);
    return out;
}

inline std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

inline bool CopyTree(const std::wstring& from, const std::wstring& to) {
    const std::wstring source = from + L"\\*" + L'\0';
    const std::wstring target = to + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_COPY;
    op.pFrom = source.c_str();
    op.pTo = target.c_str();
    op.fFlags = FOF_NO_UI;
    ::CreateDirectoryW(to.c_str(), nullptr);
    return ::SHFileOperationW(&op) == 0;
}

inline void WizardScenario::SetUp() {
    ServerSuite::SetUp();
    if (HasFatalFailure()) return;
    StopProduct();
    test::RemoveAllTestProducts();
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    name_ = std::string(info->test_suite_name()) + "." + info->name();
    root_ = test::MakeTempFolder(L"wizard " + Widen(info->name()));
    installFolder_ = root_ + L"\\Program Files\\KAVRO Free";
    ASSERT_TRUE(::CopyFileW(test::BuildPath(L"OvekWebInstaller.exe").c_str(), (root_ + L"\\OvekWebInstaller.exe").c_str(),
                            FALSE));
    ASSERT_TRUE(CopyTree(test::SourcePath(L"sample\\language"), root_ + L"\\language"));
    ::CreateDirectoryW((root_ + L"\\config").c_str(), nullptr);
    ServePackage(0);
    test::HttpRoute version;
    version.path = TestPath("version.xml");
    version.body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ovekwebinstaller>"
        "<product_code>{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}</product_code>"
        "<fresh_install><product_version>2.1.0.0</product_version><min_web_installer_version>1.0.0.0"
        "</min_web_installer_version><web_installer_download_url>http://127.0.0.1/new.exe"
        "</web_installer_download_url></fresh_install>"
        "<patch_install><product_version>2.1.0.0</product_version><min_web_installer_version>1.0.0.0"
        "</min_web_installer_version></patch_install></ovekwebinstaller>";
    ASSERT_TRUE(server_->SetRoute(version));
    WriteManifest();
    record_ = root_ + L"\\opened.txt";
    PointHttpAtRecorder();
}

inline void WizardScenario::TearDown() {
    if (installer_ && !installer_->Wait(0)) installer_->Kill();
    installer_.reset();
    RestoreHttpHandler();
    StopProduct();
    test::RemoveAllTestProducts();
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
}

inline void WizardScenario::ServePackage(std::uint64_t bytesPerSecond) {
    test::HttpRoute r;
    r.path = TestPath("kavro_free.msi");
    r.file = test::PackagePath(test::kSampleProduct);
    r.bytesPerSecond = bytesPerSecond;
    ASSERT_TRUE(server_->SetRoute(r));
}

inline void WizardScenario::WriteManifest() {
    const std::string base = Narrow(server_->BaseUrl());
    const std::string manifest =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ovekwebinstaller>"
        "<web_installer_version>1.0.0.1</web_installer_version>"
        "<product_code>{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}</product_code>"
        "<upgrade_code>{C89AB692-9247-40AB-86C4-59A06BCE4A03}</upgrade_code>"
        "<product><pid>KAVRO-FREE-2</pid><full_name>KAVRO Free</full_name><short_name>KAVRO</short_name>"
        "<registry>" + Narrow(kProductKey) + "</registry>"
        "<prev_registry>" + Narrow(kProductKey) + " 1</prev_registry>"
        "<standalone>false</standalone><standalone_version>2.1.0.0</standalone_version>"
        "<version_check_url>" + base + TestPath("version.xml") + "</version_check_url>"
        "<main_component><name>kavro_free.msi</name><executable>KAVRO Free Video Editor.exe</executable>"
        "<full_url>" + base + TestPath("kavro_free.msi") + "</full_url>"
        "<patch_url>" + base + TestPath("kavro_free.msi") + "</patch_url></main_component>"
        "</product></ovekwebinstaller>";
    ASSERT_TRUE(WriteTextFile(root_ + L"\\config\\manifest.xml", manifest));
}

inline constexpr wchar_t kHttpCommandKey[] = L"http\\shell\\open\\command";

inline void WizardScenario::PointHttpAtRecorder() {
    savedHttpCommand_ = ReadString(HKEY_CLASSES_ROOT, kHttpCommandKey, nullptr);
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, kHttpCommandKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring command =
        L"\"" + test::BuildPath(L"homepage_recorder_helper.exe") + L"\" \"" + record_ + L"\" \"%1\"";
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    httpPointed_ = true;
}

inline void WizardScenario::RestoreHttpHandler() {
    if (!httpPointed_) return;
    httpPointed_ = false;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kHttpCommandKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (savedHttpCommand_)
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(savedHttpCommand_->c_str()),
                         static_cast<DWORD>((savedHttpCommand_->size() + 1) * sizeof(wchar_t)));
    else
        ::RegDeleteValueW(key, nullptr);
    ::RegCloseKey(key);
}

inline test::WizardDriver WizardScenario::StartInstaller(const std::wstring& arguments) {
    installer_ = test::ChildProcess::Start(L"\"" + root_ + L"\\OvekWebInstaller.exe\" " + arguments);
    EXPECT_TRUE(installer_) << "the installer did not start";
    return test::WizardDriver(installer_ ? installer_->Id() : 0);
}

inline ::testing::AssertionResult WizardScenario::WaitForPage(test::WizardDriver& driver, test::WizardPage page,
                                                              DWORD timeoutMs) {
    test::MessageBoxWindow box;
    const bool ok = test::WaitUntil(
        [&] {
            box = driver.FindMessageBox();
            return box.window || driver.Page() == page || (installer_ && installer_->Wait(0));
        },
        timeoutMs);
    if (driver.Page() == page) return ::testing::AssertionSuccess();
    if (box.window)
        return ::testing::AssertionFailure() << "a message box came instead of the " << test::PageName(page)
                                             << " page: " << Narrow(box.caption) << ": " << Narrow(box.text);
    if (installer_ && installer_->Wait(0)) return ::testing::AssertionFailure() << "the installer ended";
    return ::testing::AssertionFailure() << (ok ? "" : "timed out: ") << "the page is "
                                         << test::PageName(driver.Page()) << ", not " << test::PageName(page);
}

inline ::testing::AssertionResult WizardScenario::WaitForEnd(test::WizardDriver& driver, DWORD timeoutMs) {
    if (!driver.WaitForWizardGone(timeoutMs)) return ::testing::AssertionFailure() << "the wizard is still there";
    if (installer_ && !installer_->Wait(timeoutMs)) return ::testing::AssertionFailure() << "the installer did not end";
    return ::testing::AssertionSuccess();
}

inline std::vector<std::wstring> WizardScenario::OpenedAddresses() const {
    std::vector<std::wstring> lines;
    UniqueHandle file(::CreateFileW(record_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file) return lines;
    char buffer[8192];
    DWORD read = 0;
    std::string text;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(Widen(text.substr(start, end - start)));
    return lines;
}

inline bool WizardScenario::ProductRunning() {
    UniqueHandle semaphore(::OpenSemaphoreW(SYNCHRONIZE, FALSE, kEditorSemaphore));
    return static_cast<bool>(semaphore);
}

inline bool WizardScenario::WaitForProductStart(DWORD timeoutMs) {
    return test::WaitUntil([] { return ProductRunning(); }, timeoutMs);
}

inline bool WizardScenario::ProductStaysStopped(DWORD watchMs) {
    return !test::WaitUntil([] { return ProductRunning(); }, watchMs);
}

inline void WizardScenario::StopProduct() {
    UniqueHandle quit(::CreateEventW(nullptr, TRUE, FALSE, kEditorQuitEvent));
    if (!ProductRunning()) return;
    ::SetEvent(quit.get());
    test::WaitUntil([] { return !ProductRunning(); }, 10000);
    ::ResetEvent(quit.get());
}

inline bool WizardScenario::DesktopShellAvailable() {
    const HRESULT com = ::CoInitialize(nullptr);
    const bool available = static_cast<bool>(FindDesktopShellView());
    if (SUCCEEDED(com)) ::CoUninitialize();
    return available;
}

inline std::size_t WizardScenario::RequestsFor(const std::string& file) {
    std::size_t n = 0;
    for (const auto& r : server_->Requests())
        if (r.target == TestPath(file)) ++n;
    return n;
}

inline std::uint64_t WizardScenario::DownloadedBytes() const {
    std::uint64_t total = 0;
    for (const wchar_t* folder : {L"\\msi\\", L"\\component\\"}) {
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((root_ + folder + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                total += (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    return total;
}

inline constexpr wchar_t kGeoKey[] = L"Control Panel\\International\\Geo";

inline ScopedRegion::ScopedRegion(const std::wstring& nation) {
    saved_ = ReadString(HKEY_CURRENT_USER, kGeoKey, L"Nation");
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kGeoKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, L"Nation", 0, REG_SZ, reinterpret_cast<const BYTE*>(nation.c_str()),
                     static_cast<DWORD>((nation.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

inline ScopedRegion::~ScopedRegion() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kGeoKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (saved_)
        ::RegSetValueExW(key, L"Nation", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_->c_str()),
                         static_cast<DWORD>((saved_->size() + 1) * sizeof(wchar_t)));
    else
        ::RegDeleteValueW(key, L"Nation");
    ::RegCloseKey(key);
}

}  // namespace ovek::wizardtest
