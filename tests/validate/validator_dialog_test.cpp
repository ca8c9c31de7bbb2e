// The validation dialog in a real modal run against the local server: what
// it shows, what the worker decides, the newer installer's download, and the
// close that must wait for the worker.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "app/COvekMasterInstallerApp.h"
#include "framework/MessageBox.h"
#include "manifest/InstallerContext.h"
#include "res/resource.h"
#include "support/ServerSuite.h"
#include "support/TestSupport.h"
#include "validate/CClientValidator.h"
#include "validate/FetchFile.h"
#include "validate/VersionCheck.h"

namespace ovek {
namespace {

using test::BuildPath;

TEST(ValidationAction, EveryCheckCode) {
    const std::pair<int, ValidationAction> cases[] = {
        {0, ValidationAction::GoOn},
        {1, ValidationAction::OfferLaunch},
        {2, ValidationAction::DownloadNewInstaller},
        {3, ValidationAction::GoOn},
        {4, ValidationAction::ConnectionError},
        {5, ValidationAction::GoOn},
        {6, ValidationAction::AnotherVersion},
        {-1, ValidationAction::GoOn},
    };
    for (auto [code, action] : cases) EXPECT_EQ(ActionForCheck(code), action) << code;
}

TEST(UpdaterFileName, StaysOneFileInItsFolder) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"KAVRO Free", L"KAVRO Free.exe"},
        {L"..\\..\\Windows\\evil", L".._.._Windows_evil.exe"},
        {L"C:/x:y*?\"<>|", L"C__x_y______.exe"},
        {L"", L"OvekWebInstaller.exe"},
        {L"..", L"OvekWebInstaller.exe"},
        {L"KAVRO. ", L"KAVRO.exe"},
    };
    for (auto [name, expected] : cases) EXPECT_EQ(UpdaterFileName(name), expected) << name;
}

// What a run of the dialog showed, watched from another thread.
struct Observation {
    bool found = false;
    bool everVisible = false;
    std::wstring title;
    bool barCentred = false;
};

struct Box {
    std::wstring text, caption;
    UINT flags;
    bool ownerVisible;
};

class ValidatorTest : public test::ServerSuite {
protected:
    void SetUp() override {
        ServerSuite::SetUp();
        if (HasFatalFailure()) return;
        folder_ = test::MakeTempFolder(L"validator");
        InstallerContext& c = TheContext();
        c = InstallerContext();
        c.componentFolder = folder_ + L"\\";
        c.manifest.webInstallerVersion = L"1.0.0.1";
        c.manifest.fullName = L"KAVRO Free";
        c.manifest.shortName = L"KAVRO";
        c.manifest.standaloneVersion = L"2.0.0.0";
        c.manifest.versionCheckUrl = server_->Url("/check/version.xml");
        COvekMasterInstallerApp& app = TheApp();
        app.productInstalled = app.relatedProductInstalled = app.silent = 0;
        previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            std::lock_guard<std::mutex> hold(lock_);
            boxes_.push_back({r.text, r.caption, r.flags, r.owner && ::IsWindowVisible(r.owner) != 0});
            return answer_;
        });
    }
    void TearDown() override {
        SetMessageBoxHandler(previous_);
        TheApp().silent = 0;
    }

    void Serve(const std::string& path, const std::string& body, int status = 200, unsigned delayMs = 0) {
        test::HttpRoute r;
        r.path = path;
        r.body = body;
        r.status = status;
        r.delayMs = delayMs;
        ASSERT_TRUE(server_->SetRoute(r));
    }
    // A version document whose fresh channel asks for at least `minimum`.
    void ServeDocument(const std::string& minimum, const std::string& download, unsigned delayMs = 0) {
        Serve("/check/version.xml",
              "<ovekwebinstaller><fresh_install><product_version>2.1.0.0</product_version>"
              "<min_web_installer_version>" + minimum + "</min_web_installer_version>"
              "<web_installer_download_url>" + download + "</web_installer_download_url></fresh_install>"
              "<patch_install><product_version>2.1.0.0</product_version></patch_install></ovekwebinstaller>",
              200, delayMs);
    }
    static std::string UrlText(const std::string& path) {
        const std::wstring url = server_->Url(path);
        return std::string(url.begin(), url.end());  // ASCII
    }
    int RequestsFor(const std::string& path) {
        int count = 0;
        for (auto& r : server_->Requests()) count += r.target == path;
        return count;
    }

    // Runs the dialog modally on this thread; `poke` runs once on the
    // watcher thread as soon as the dialog exists.
    Observation Run(CClientValidator& validator, std::function<void(HWND)> poke = {}) {
        Observation seen;
        std::atomic<bool> stop{false};
        const DWORD thread = ::GetCurrentThreadId();
        std::thread watcher([&] {
            HWND dialog = nullptr;
            for (int i = 0; i < 1000 && !dialog && !stop; ++i) {
                ::EnumThreadWindows(
                    thread,
                    [](HWND w, LPARAM out) {
                        if (!::GetDlgItem(w, IDC_VALIDATION_PROGRESS)) return TRUE;
                        *reinterpret_cast<HWND*>(out) = w;
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(&dialog));
                if (!dialog) ::Sleep(5);
            }
            if (!dialog) return;
            seen.found = true;
            if (poke) poke(dialog);
            while (::IsWindow(dialog) && !stop) {
                if (::IsWindowVisible(dialog)) seen.everVisible = true;
                wchar_t text[64] = {};
                if (::GetWindowTextW(dialog, text, 64) > 0) seen.title = text;
                RECT client{}, bar{};
                ::GetClientRect(dialog, &client);
                HWND progress = ::GetDlgItem(dialog, IDC_VALIDATION_PROGRESS);
                ::GetWindowRect(progress, &bar);
                ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bar), 2);
                const int left = bar.left - client.left, right = client.right - bar.right;
                const int top = bar.top - client.top, bottom = client.bottom - bar.bottom;
                if (progress && std::abs(left - right) <= 1 && std::abs(top - bottom) <= 1) seen.barCentred = true;
                ::Sleep(5);
            }
        });
        validator.RunModal();
        stop = true;
        watcher.join();
        return seen;
    }

    std::vector<Box> Boxes() {
        std::lock_guard<std::mutex> hold(lock_);
        return boxes_;
    }

    std::wstring folder_;
    std::mutex lock_;
    std::vector<Box> boxes_;
    int answer_ = IDNO;
    MessageBoxHandler previous_;
};

TEST_F(ValidatorTest, CurrentClientGoesOnAfterPreparing) {
    ServeDocument("1.0.0.0", "");
    CClientValidator validator;
    const Observation seen = Run(validator);
    EXPECT_EQ(validator.outcome, CClientValidator::kContinue);
    EXPECT_TRUE(Boxes().empty());
    ASSERT_TRUE(seen.found) << "no dialog came up";
    EXPECT_TRUE(seen.everVisible);
    EXPECT_EQ(seen.title, L"Preparing...");
    EXPECT_TRUE(seen.barCentred) << "the progress bar is not centred in the client area";
    for (int kind : {kCaptionClose, kCaptionMaximize, kCaptionMinimize})
        EXPECT_TRUE(validator.Button(kind).disabled) << kind;
    EXPECT_EQ(RequestsFor("/check/version.xml"), 1);
}

TEST_F(ValidatorTest, StopsWithItsMessage) {
    const std::wstring connect = TheContext().language.LookUpText(IDS_ERR_CONNECT_DOWNLOAD_SERVER);
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::wstring text;
        UINT buttons;
    } cases[] = {
        {"404", [&] { Serve("/check/version.xml", "<html><body>Not found</body>", 404); }, connect, MB_OK},
        {"not well formed", [&] { Serve("/check/version.xml", "<ovekwebinstaller><fresh_install>"); }, connect, MB_OK},
        {"server down", [&] { TheContext().manifest.versionCheckUrl = L"http://127.0.0.1:1/version.xml"; }, connect,
         MB_OK},
        {"another version",
         [&] {
             ServeDocument("1.0.0.0", "");
             TheApp().productInstalled = 1;
             TheContext().installedProduct = {L"1.5.0.0", L"Other Product", L""};
         },
         TheContext().language.LookUpText(IDS_ERR_INSTALLED_ANOTHER_VERSION), MB_OK},
        {"already installed",
         [&] {
             ServeDocument("1.0.0.0", "");
             TheApp().productInstalled = 1;
             TheContext().installedProduct = {L"2.1.0.0", L"KAVRO Free", L""};
         },
         L"KAVRO is already installed. Would you like to launch it?", MB_YESNO},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        TheContext().manifest.versionCheckUrl = server_->Url("/check/version.xml");
        TheApp().productInstalled = 0;
        TheContext().installedProduct = {};
        boxes_.clear();
        c.arrange();
        CClientValidator validator;
        Run(validator);
        EXPECT_EQ(validator.outcome, CClientValidator::kStop);
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].caption, L"KAVRO");
        EXPECT_EQ(boxes[0].flags, c.buttons | MB_ICONERROR);
        EXPECT_FALSE(boxes[0].ownerVisible) << "the dialog stays up behind its message";
    }
    TheApp().productInstalled = 0;
}

TEST_F(ValidatorTest, CloseAndKeysWhileTheWorkerRunsDoNotEndIt) {
    // The answer takes long enough for the requests to arrive first.
    Serve("/check/version.xml", "<html><body>Not found</body>", 404, 1500);
    CClientValidator validator;
    const auto start = std::chrono::steady_clock::now();
    Run(validator, [](HWND dialog) {
        ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        ::PostMessageW(dialog, WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(1500)) << "the dialog ended before the worker";
    // The worker had finished: its outcome and its message are there.
    EXPECT_EQ(validator.outcome, CClientValidator::kStop);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_FALSE(validator.WorkerRunning());
}

TEST_F(ValidatorTest, SilentRunIsNeverVisibleButItsMessageIs) {
    TheApp().silent = 1;
    Serve("/check/version.xml", "<html><body>Not found</body>", 404);
    CClientValidator validator;
    const Observation seen = Run(validator);
    EXPECT_TRUE(seen.found);
    EXPECT_FALSE(seen.everVisible);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(validator.outcome, CClientValidator::kStop);
}

std::string FileBytes(const std::wstring& path) {
    std::string bytes;
    if (std::FILE* f = ::_wfopen(path.c_str(), L"rb")) {
        char chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof(chunk), f)) > 0;) bytes.append(chunk, n);
        std::fclose(f);
    }
    return bytes;
}

TEST_F(ValidatorTest, TooOldFetchesTheNewerInstaller) {
    const std::wstring probe = BuildPath(L"newer_installer_probe_helper.exe");
    test::HttpRoute r;
    r.path = "/download/new.exe";
    r.file = probe;
    ASSERT_TRUE(server_->SetRoute(r));
    ServeDocument("1.2.0.0", UrlText("/download/new.exe"));
    CClientValidator validator;
    Run(validator);
    EXPECT_EQ(validator.outcome, CClientValidator::kStartUpdater);
    EXPECT_TRUE(Boxes().empty());
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring& path = validator.updaterPath;
    EXPECT_EQ(path.rfind(std::wstring(temp) + L"OvekWebInstaller_", 0), 0u) << path;
    EXPECT_EQ(path.substr(path.find_last_of(L'\\')), L"\\KAVRO Free.exe");
    const std::string got = FileBytes(path), expected = FileBytes(probe);
    EXPECT_FALSE(expected.empty());
    EXPECT_TRUE(got == expected) << "the downloaded file differs: " << got.size() << " bytes";
}

TEST_F(ValidatorTest, TooOldWithoutUsableDownloadGoesOnWithThisInstaller) {
    const std::string url = UrlText("/download/new.exe");
    struct Case {
        const char* name;
        std::string address;
        std::function<void(test::HttpRoute&)> route;
    } cases[] = {
        {"no address", "", [](test::HttpRoute& r) { r.file = BuildPath(L"newer_installer_probe_helper.exe"); }},
        {"404", url, [](test::HttpRoute& r) { r.status = 404, r.body = "<html>Not found</html>"; }},
        {"broken transfer", url,
         [](test::HttpRoute& r) { r.file = BuildPath(L"newer_installer_probe_helper.exe"), r.breakAfter = 4096; }},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::HttpRoute r;
        r.path = "/download/new.exe";
        c.route(r);
        ASSERT_TRUE(server_->SetRoute(r));
        ServeDocument("1.2.0.0", c.address);
        ASSERT_TRUE(server_->ClearRequests());
        CClientValidator validator;
        Run(validator);
        EXPECT_EQ(validator.outcome, CClientValidator::kContinue);
        EXPECT_TRUE(validator.updaterPath.empty()) << validator.updaterPath;
        EXPECT_TRUE(Boxes().empty());
        EXPECT_EQ(RequestsFor("/download/new.exe"), c.address.empty() ? 0 : 1);
    }
}

TEST_F(ValidatorTest, NoTemporaryFolderMeansNoDownload) {
    // A temporary folder below a file can never be made.
    const std::wstring blocker = folder_ + L"\\a-file";
    std::FILE* f = ::_wfopen(blocker.c_str(), L"w");
    ASSERT_TRUE(f);
    std::fclose(f);
    wchar_t oldTmp[MAX_PATH] = {}, oldTemp[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TMP", oldTmp, MAX_PATH);
    ::GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
    ::SetEnvironmentVariableW(L"TMP", (blocker + L"\\temp\\").c_str());
    ::SetEnvironmentVariableW(L"TEMP", (blocker + L"\\temp\\").c_str());
    EXPECT_EQ(CClientValidator::UpdaterFilePath(), L"");

    test::HttpRoute r;
    r.path = "/download/new.exe";
    r.file = BuildPath(L"newer_installer_probe_helper.exe");
    ASSERT_TRUE(server_->SetRoute(r));
    ServeDocument("1.2.0.0", UrlText("/download/new.exe"));
    CClientValidator validator;
    Run(validator);
    ::SetEnvironmentVariableW(L"TMP", oldTmp);
    ::SetEnvironmentVariableW(L"TEMP", oldTemp);
    EXPECT_EQ(validator.outcome, CClientValidator::kContinue);
    EXPECT_EQ(RequestsFor("/download/new.exe"), 0);
}

class FetchLimitsTest : public test::ServerSuite {};

TEST_F(FetchLimitsTest, EndlessSlowOrSilentServersEndTheFetch) {
    const std::wstring path = test::MakeTempFolder(L"fetch limits") + L"\\doc.xml";
    struct Case {
        const char* name;
        std::function<void(test::HttpRoute&)> route;
        FetchLimits limits;
        bool fetched;
    } cases[] = {
        {"within the limits", [](test::HttpRoute& r) { r.patternSize = 300000; }, kVersionDocumentLimits, true},
        {"far larger than any document, without a length",
         [](test::HttpRoute& r) { r.patternSize = 64u << 20, r.omitLength = true; }, kVersionDocumentLimits, false},
        {"trickles on and on", [](test::HttpRoute& r) { r.patternSize = 100000, r.bytesPerSecond = 2000; },
         FetchLimits{1u << 20, 1500}, false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::HttpRoute r;
        r.path = "/doc.xml";
        c.route(r);
        ASSERT_TRUE(server_->SetRoute(r));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(FetchToFile(server_->Url("/doc.xml"), path, c.limits), c.fetched);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    }
}

}  // namespace
}  // namespace ovek
