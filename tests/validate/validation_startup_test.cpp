// The real installer process against the local server: the validation phase
// at start-up as a person meets it, its message boxes answered through their
// windows, and the hand-over to a newer installer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/ServerSuite.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

using test::BuildPath;

// What one run of the installer showed.
struct RunRecord {
    bool ended = false;
    bool validatorVisible = false;
    std::wstring validatorTitle;
    std::vector<std::wstring> boxes;  // texts, in order
    bool boxVisible = false;
    bool wizardSeen = false;
};

std::wstring Text(HWND w) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(w, text, 1024);
    return text;
}

bool IsMessageBox(HWND w) {
    wchar_t cls[16] = {};
    ::GetClassNameW(w, cls, 16);
    return std::wstring(cls) == L"#32770" && ::GetDlgItem(w, 0xFFFF) && !::GetDlgItem(w, IDC_VALIDATION_PROGRESS);
}

class ValidationStartup : public test::ServerSuite {
protected:
    void SetUp() override {
        ServerSuite::SetUp();
        if (HasFatalFailure()) return;
        stage_ = test::MakeTempFolder(L"validation startup");
        namespace fs = std::filesystem;
        fs::copy_file(fs::path(BuildPath(L"OvekWebInstaller.exe")), fs::path(stage_ + L"\\OvekWebInstaller.exe"));
        fs::copy(fs::path(test::SourcePath(L"sample\\language")), fs::path(stage_ + L"\\language"),
                 fs::copy_options::recursive);
        fs::create_directories(fs::path(stage_ + L"\\config"));
        WriteManifest();
        probe_ = BuildPath(L"test-output\\newer-installer-probe.txt");
        ::DeleteFileW(probe_.c_str());
    }

    void WriteManifest() {
        const std::wstring url = server_->Url("/check/version.xml");
        const std::string manifest =
            "<?xml version=\"1.0\" encoding=\"utf-8\"?><ovekwebinstaller>"
            "<web_installer_version>1.0.0.1</web_installer_version>"
            "<product_code>{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}</product_code>"
            "<upgrade_code>{C89AB692-9247-40AB-86C4-59A06BCE4A03}</upgrade_code><product>"
            "<pid>KAVRO-FREE-2</pid><full_name>KAVRO Free</full_name><short_name>KAVRO</short_name>"
            "<registry>SOFTWARE\\Ovek Systems\\KAVRO Free</registry>"
            "<prev_registry>SOFTWARE\\Ovek Systems\\KAVRO Free 1</prev_registry>"
            "<standalone>false</standalone><standalone_version>2.1.0.0</standalone_version>"
            "<version_check_url>" + std::string(url.begin(), url.end()) + "</version_check_url>"
            "<main_component><name>kavro_free.msi</name><executable>KAVRO Free Video Editor.exe</executable>"
            "<full_url>http://127.0.0.1:1/kavro_free.msi</full_url></main_component>"
            "</product></ovekwebinstaller>";
        std::FILE* f = ::_wfopen((stage_ + L"\\config\\manifest.xml").c_str(), L"wb");
        ASSERT_TRUE(f);
        std::fwrite(manifest.data(), 1, manifest.size(), f);
        std::fclose(f);
    }

    std::string UrlText(const std::string& path) {
        const std::wstring url = server_->Url(path);
        return std::string(url.begin(), url.end());
    }
    void ServeDocument(const std::string& minimum, const std::string& download) {
        test::HttpRoute r;
        r.path = "/check/version.xml";
        r.body = "<ovekwebinstaller><fresh_install><product_version>2.1.0.0</product_version>"
                 "<min_web_installer_version>" + minimum + "</min_web_installer_version>"
                 "<web_installer_download_url>" + download + "</web_installer_download_url></fresh_install>"
                 "</ovekwebinstaller>";
        ASSERT_TRUE(server_->SetRoute(r));
    }
    void Serve404(const std::string& path) {
        test::HttpRoute r;
        r.path = path;
        r.status = 404;
        r.body = "<html><body>Not found</body>";  // what servers send: not a document
        ASSERT_TRUE(server_->SetRoute(r));
    }
    int RequestsFor(const std::string& path) {
        int count = 0;
        for (auto& r : server_->Requests()) count += r.target == path;
        return count;
    }

    // Runs the staged installer to its end (60 s at most), answering every
    // message box with OK or No, and closing a wizard window if one opens.
    RunRecord Run(const std::wstring& args) {
        RunRecord record;
        auto child = test::ChildProcess::Start(L"\"" + stage_ + L"\\OvekWebInstaller.exe\" " + args);
        if (!child) return record;
        const DWORD pid = child->Id();
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        auto lastClose = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() < limit) {
            if (child->Wait(10)) {
                record.ended = true;
                break;
            }
            std::vector<HWND> windows;
            struct Search {
                DWORD pid;
                std::vector<HWND>* out;
            } search{pid, &windows};
            ::EnumWindows(
                [](HWND w, LPARAM lp) {
                    auto* s = reinterpret_cast<Search*>(lp);
                    DWORD owner = 0;
                    ::GetWindowThreadProcessId(w, &owner);
                    if (owner == s->pid) s->out->push_back(w);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            for (HWND w : windows) {
                if (::GetDlgItem(w, IDC_VALIDATION_PROGRESS)) {
                    if (::IsWindowVisible(w)) {
                        record.validatorVisible = true;
                        record.validatorTitle = Text(w);
                    }
                } else if (IsMessageBox(w)) {
                    if (!::IsWindowVisible(w)) continue;
                    if (record.wizardSeen) {
                        // The wizard's own question on closing: yes, cancel.
                        ::PostMessageW(::GetDlgItem(w, IDYES), BM_CLICK, 0, 0);
                        ::Sleep(200);
                        continue;
                    }
                    record.boxVisible = true;
                    record.boxes.push_back(Text(::GetDlgItem(w, 0xFFFF)));
                    HWND button = ::GetDlgItem(w, IDNO);
                    if (!button) button = ::GetDlgItem(w, IDOK);
                    if (!button) button = ::GetDlgItem(w, 2);
                    ::PostMessageW(button, BM_CLICK, 0, 0);
                    ::Sleep(200);  // the box's own close, before it is looked at again
                } else if (::IsWindowVisible(w)) {
                    // The wizard: validation went on. Closed as a person
                    // would, again after a while if the first went unheard.
                    const auto now = std::chrono::steady_clock::now();
                    if (!record.wizardSeen || now - lastClose > std::chrono::seconds(2)) {
                        ::PostMessageW(w, WM_CLOSE, 0, 0);
                        lastClose = now;
                    }
                    record.wizardSeen = true;
                }
            }
        }
        if (!record.ended) child->Kill();
        return record;
    }

    std::wstring ProbeRecord(int attempts = 200) {
        for (int i = 0; i < attempts; ++i) {
            if (std::FILE* f = ::_wfopen(probe_.c_str(), L"r, ccs=UTF-8")) {
                std::wstring text;
                wchar_t line[2048];
                while (std::fgetws(line, 2048, f)) text += line;
                std::fclose(f);
                if (!text.empty()) return text;
            }
            ::Sleep(50);
        }
        return L"";
    }

    std::wstring stage_, probe_;
};

TEST_F(ValidationStartup, CurrentClientShowsPreparingAndGoesOn) {
    ServeDocument("1.0.0.0", "");
    const auto start = std::chrono::steady_clock::now();
    const RunRecord run = Run(L"");
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("validation run, process start to end: %lld ms\n", static_cast<long long>(took.count()));
    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(run.validatorVisible);
    EXPECT_EQ(run.validatorTitle, L"Preparing...");
    EXPECT_TRUE(run.wizardSeen);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(RequestsFor("/check/version.xml"), 1);
}

TEST_F(ValidationStartup, SkipSwitchAsksNothing) {
    ServeDocument("1.0.0.0", "");
    const RunRecord run = Run(L"/n");
    EXPECT_TRUE(run.ended);
    EXPECT_FALSE(run.validatorVisible);
    EXPECT_TRUE(run.wizardSeen);
    EXPECT_EQ(RequestsFor("/check/version.xml"), 0);
}

TEST_F(ValidationStartup, NoDocumentTellsAndEnds) {
    Serve404("/check/version.xml");
    const RunRecord run = Run(L"");
    EXPECT_TRUE(run.ended);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].rfind(L"Unable to contact the download server.", 0), 0u) << run.boxes[0];
    EXPECT_FALSE(run.wizardSeen);
}

TEST_F(ValidationStartup, SilentRunHidesTheDialogButNotItsMessage) {
    Serve404("/check/version.xml");
    const RunRecord run = Run(L"/s");
    EXPECT_TRUE(run.ended);
    EXPECT_FALSE(run.validatorVisible);
    EXPECT_TRUE(run.boxVisible);
    EXPECT_EQ(run.boxes.size(), 1u);
}

TEST_F(ValidationStartup, TooOldHandsOverToTheNewerInstaller) {
    test::HttpRoute r;
    r.path = "/download/new.exe";
    r.file = BuildPath(L"newer_installer_probe_helper.exe");
    ASSERT_TRUE(server_->SetRoute(r));
    ServeDocument("1.2.0.0", UrlText("/download/new.exe"));
    const RunRecord run = Run(L"");
    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_FALSE(run.wizardSeen);
    const std::wstring record = ProbeRecord();
    ASSERT_FALSE(record.empty()) << "the newer installer was not started";
    const std::wstring commandLine = record.substr(0, record.find(L'\n'));
    const std::wstring folder = record.substr(record.find(L'\n') + 1);
    EXPECT_EQ(commandLine.substr(commandLine.size() - 3), L" /n") << commandLine;
    EXPECT_NE(commandLine.find(L"KAVRO Free.exe"), std::wstring::npos) << commandLine;
    EXPECT_NE(folder.find(L"\\OvekWebInstaller_"), std::wstring::npos) << folder;
}

TEST_F(ValidationStartup, TooOldWithFailedDownloadGoesOn) {
    Serve404("/download/new.exe");
    ServeDocument("1.2.0.0", UrlText("/download/new.exe"));
    const RunRecord run = Run(L"");
    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(run.wizardSeen) << "the wizard did not open with this installer";
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(RequestsFor("/download/new.exe"), 1);
    EXPECT_TRUE(ProbeRecord(10).empty());
}

}  // namespace
}  // namespace ovek
