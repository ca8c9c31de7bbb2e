#pragma once
// Runs the engine the way the status panel does, against the local HTTP
// server and the real Windows Installer: a fresh context per test, packages
// served from the build tree, message boxes answered by the test.
#include <gtest/gtest.h>

#include <windows.h>
#include <msi.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "app/COvekMasterInstallerApp.h"
#include "engine/InstallEngine.h"
#include "framework/MessageBox.h"
#include "manifest/InstallerContext.h"
#include "net/InternetSession.h"
#include "support/ServerSuite.h"
#include "support/TestPackages.h"
#include "support/TestSupport.h"

namespace ovek::enginetest {

inline constexpr wchar_t kProductKey[] = L"SOFTWARE\\OvekTests\\KAVRO Free Engine";
inline constexpr wchar_t kPreviousKey[] = L"SOFTWARE\\OvekTests\\KAVRO Free Engine Old";
inline constexpr wchar_t kHomepage[] = L"http://127.0.0.1/kavro-free/welcome";
inline constexpr wchar_t kExecutable[] = L"KAVRO Free Video Editor.exe";

// Answers dialog boxes that Windows Installer shows by itself, bypassing our
// handler (Wine does so for a false launch condition), so no test hangs on
// one. Keeps their texts.
class DialogCloser {
public:
    DialogCloser() : thread_([this] { Loop(); }) {}
    ~DialogCloser() {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::wstring> Texts() {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }

private:
    void Loop() {
        while (!stop_) {
            ::EnumWindows(
                [](HWND window, LPARAM self) -> BOOL {
                    DWORD pid = 0;
                    ::GetWindowThreadProcessId(window, &pid);
                    wchar_t cls[32] = {};
                    ::GetClassNameW(window, cls, 32);
                    if (pid == ::GetCurrentProcessId() && std::wstring(cls) == L"#32770" && ::IsWindowVisible(window)) {
                        auto* closer = reinterpret_cast<DialogCloser*>(self);
                        std::wstring text;
                        ::EnumChildWindows(
                            window,
                            [](HWND child, LPARAM out) -> BOOL {
                                wchar_t buffer[512] = {};
                                ::GetWindowTextW(child, buffer, 512);
                                *reinterpret_cast<std::wstring*>(out) += buffer;
                                return TRUE;
                            },
                            reinterpret_cast<LPARAM>(&text));
                        {
                            std::lock_guard<std::mutex> lock(closer->mutex_);
                            closer->texts_.push_back(text);
                        }
                        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(this));
            ::Sleep(100);
        }
    }

    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::wstring> texts_;
    std::thread thread_;
};

struct RunResult {
    std::vector<StatusSnapshot> snapshots;
    bool ended = false;  // a final state was seen in time
    std::int32_t finalState = -1;
};

class EngineScenario : public test::ServerSuite {
protected:

    void SetUp() override {
        ServerSuite::SetUp();
        if (HasFatalFailure()) return;
        test::RemoveAllTestProducts();
        RemoveKeys();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        name_ = std::string(info->name());
        root_ = test::MakeTempFolder(L"engine " + std::wstring(name_.begin(), name_.end()));

        InstallerContext& c = TheContext();
        c = InstallerContext();
        c.exeFolder = root_;
        c.componentFolder = root_ + L"\\component\\";
        c.msiFolder = root_ + L"\\msi\\";
        c.transformFolder = root_ + L"\\transform\\";
        for (const auto& f : {c.componentFolder, c.msiFolder, c.transformFolder}) ::CreateDirectoryW(f.c_str(), nullptr);
        c.language.SetFolder(root_ + L"\\language\\");
        installFolder_ = root_ + L"\\Program Files\\KAVRO Free\\";
        ::CreateDirectoryW((root_ + L"\\Program Files").c_str(), nullptr);
        ::CreateDirectoryW(installFolder_.c_str(), nullptr);
        c.installFolder = installFolder_;

        ProductManifest& m = c.manifest;
        m.webInstallerVersion = L"1.0.0.1";
        m.productCode = test::kSampleProduct.productCode;
        m.upgradeCode = test::kSampleProduct.upgradeCode;
        m.pid = L"kavro-free";
        m.fullName = L"KAVRO Free";
        m.shortName = L"KAVRO Free";
        m.registryKey = kProductKey;
        m.previousRegistryKey = kPreviousKey;
        m.standaloneVersion = L"2.1.0.0";
        m.versionCheckUrl = Route("version.xml", VersionDocument());
        m.mainComponent.name = L"kavro_free.msi";
        m.mainComponent.fullUrl = RouteFile("kavro_free.msi", test::PackagePath(test::kSampleProduct));
        m.executable = kExecutable;

        TheApp().productInstalled = 0;
        TheApp().relatedProductInstalled = 0;

        previousHandler_ = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes_.push_back(r);
            return boxAnswer_;
        });
    }

    void TearDown() override {
        SetMessageBoxHandler(previousHandler_);
        test::RemoveAllTestProducts();
        RemoveKeys();
        TheApp().productInstalled = 0;
        TheApp().relatedProductInstalled = 0;
    }

    static void RemoveKeys() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPreviousKey);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
    }

    static std::string VersionDocument(const std::string& freshMin = "1.0.0.0", const std::string& patchVersion = "2.1.0.0",
                                       const std::string& patchMin = "1.0.0.0") {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ovekwebinstaller>"
               "<product_code>{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}</product_code>"
               "<fresh_install><product_version>2.1.0.0</product_version><min_web_installer_version>" +
               freshMin +
               "</min_web_installer_version><web_installer_download_url>http://127.0.0.1/new.exe"
               "</web_installer_download_url></fresh_install>"
               "<patch_install><product_version>" +
               patchVersion + "</product_version><min_web_installer_version>" + patchMin +
               "</min_web_installer_version></patch_install></ovekwebinstaller>";
    }

    // Routes under a folder of this test, so no test sees another's files.
    std::string TestPath(const std::string& file) const { return "/" + name_ + "/" + file; }
    std::wstring Route(const std::string& file, const std::string& body, int status = 200) {
        test::HttpRoute r;
        r.path = TestPath(file);
        r.body = body;
        r.status = status;
        EXPECT_TRUE(server_->SetRoute(r));
        return server_->Url(r.path);
    }
    std::wstring RouteFile(const std::string& file, const std::wstring& source, std::uint64_t bytesPerSecond = 0) {
        test::HttpRoute r;
        r.path = TestPath(file);
        r.file = source;
        r.bytesPerSecond = bytesPerSecond;
        EXPECT_TRUE(server_->SetRoute(r));
        return server_->Url(r.path);
    }
    // Requests for the file (a download asks for its size first).
    std::size_t RequestsFor(const std::string& file) {
        std::size_t n = 0;
        for (const auto& r : server_->Requests())
            if (r.target == TestPath(file)) ++n;
        return n;
    }

    // Start, then poll like the status panel (more often, to see more);
    // onPoll may pause, resume or cancel. Never waits past the limit.
    RunResult Run(InstallEngine& engine, std::function<void(const StatusSnapshot&)> onPoll = {},
                  DWORD limitMs = 120000) {
        RunResult result;
        engine.Start();
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < limitMs) {
            StatusSnapshot snap = engine.TakeStatusSnapshot();
            result.snapshots.push_back(snap);
            if (IsFinalState(snap.state)) {
                result.ended = true;
                result.finalState = snap.state;
                break;
            }
            if (onPoll) onPoll(snap);
            ::Sleep(10);
        }
        return result;
    }

    static std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key, const wchar_t* name) {
        wchar_t buffer[1024];
        DWORD size = sizeof(buffer);
        if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return std::wstring(buffer);
    }
    static std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key, const wchar_t* name) {
        DWORD value = 0, size = sizeof(value);
        if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return value;
    }
    static std::wstring ProductInfo(const wchar_t* productCode, const wchar_t* property) {
        wchar_t buffer[260];
        DWORD size = 260;
        if (::MsiGetProductInfoW(productCode, property, buffer, &size) != ERROR_SUCCESS) return std::wstring();
        return buffer;
    }
    static bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // The command line a recording helper saw, found by its file-name ending.
    std::wstring RecordedCommandLine(const std::wstring& nameEnd) const;

    std::string name_;
    std::wstring root_;
    std::wstring installFolder_;
    std::vector<MessageBoxRequest> boxes_;
    int boxAnswer_ = IDOK;
    DialogCloser dialogs_;
    MessageBoxHandler previousHandler_;
};

}  // namespace ovek::enginetest
