#include <gtest/gtest.h>

#include "app/COvekMasterInstallerApp.h"
#include "manifest/InstallerContext.h"
#include "net/InternetSession.h"
#include "support/ServerSuite.h"
#include "support/TestSupport.h"
#include "validate/VersionCheck.h"

namespace ovek {
namespace {

class CheckVersionTest : public test::ServerSuite {
protected:
    void SetUp() override {
        ServerSuite::SetUp();
        if (HasFatalFailure()) return;
        folder_ = test::MakeTempFolder(L"check version");
        InstallerContext& c = TheContext();
        c = InstallerContext();
        c.componentFolder = folder_ + L"\\";
        c.manifest.webInstallerVersion = L"1.0.0.1";
        c.manifest.fullName = L"KAVRO Free";
        c.manifest.standaloneVersion = L"2.0.0.0";
        c.manifest.versionCheckUrl = server_->Url("/check/version.xml");
        TheApp().productInstalled = TheApp().relatedProductInstalled = 0;
    }
    void Serve(const std::string& body, int status = 200) {
        test::HttpRoute r;
        r.path = "/check/version.xml";
        r.body = body;
        r.status = status;
        ASSERT_TRUE(server_->SetRoute(r));
    }
    bool DocumentKept() const {
        WIN32_FIND_DATAW found{};
        UniqueFindHandle find(::FindFirstFileW((folder_ + L"\\*version.xml").c_str(), &found));
        return static_cast<bool>(find);
    }

    std::wstring folder_;
};

std::string Document(const std::string& freshMin) {
    return "<ovekwebinstaller><fresh_install><product_version>2.1.0.0</product_version>"
           "<min_web_installer_version>" +
           freshMin +
           "</min_web_installer_version></fresh_install><patch_install><product_version>2.1.0.0</product_version>"
           "</patch_install></ovekwebinstaller>";
}

TEST_F(CheckVersionTest, DecidesOnTheFetchedDocument) {
    Serve(Document("1.0.0.0"));
    EXPECT_EQ(CheckVersion(), 0);
    EXPECT_EQ(TheContext().manifest.standaloneVersion, L"2.1.0.0");
    EXPECT_TRUE(DocumentKept());
    Serve(Document("1.2.0.0"));
    EXPECT_EQ(CheckVersion(), 2);  // this installer is older than the server's minimum
}

TEST_F(CheckVersionTest, NoUsableDocumentGivesFour) {
    struct Case {
        const char* name;
        std::string body;
        int status;
    } cases[] = {
        {"not well formed", "<ovekwebinstaller><fresh_install>", 200},
        {"missing", "<html><body>Not found</body>", 404},
        {"empty", "", 200},
    };
    for (auto& c : cases) {
        Serve(c.body, c.status);
        EXPECT_EQ(CheckVersion(), kVersionDocumentUnavailable) << c.name;
    }
    TheContext().manifest.versionCheckUrl = L"http://127.0.0.1:1/version.xml";  // nobody listens
    EXPECT_EQ(CheckVersion(), kVersionDocumentUnavailable);
}

TEST_F(CheckVersionTest, StandaloneFetchesNothing) {
    TheContext().manifest.standalone = 1;
    Serve(Document("9.0.0.0"));
    EXPECT_EQ(CheckVersion(), 0);
    EXPECT_TRUE(server_->Requests().empty());
    EXPECT_FALSE(DocumentKept());
}

}  // namespace
}  // namespace ovek
