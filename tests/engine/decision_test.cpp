#include <gtest/gtest.h>

#include "engine/InstallDecision.h"

namespace ovek {
namespace {

TEST(ParseVersion, ReadsFourDottedNumbersOrNothing) {
    struct Case {
        const wchar_t* text;
        VersionNumbers expected;
    };
    for (const Case& c : {
             Case{L"1.2.3.4", {1, 2, 3, 4}},
             Case{L"10.20.30.40", {10, 20, 30, 40}},
             Case{L"1..2.3...4", {1, 2, 3, 4}},  // runs of dots are one separator
             Case{L"2.0.1", {0, 0, 0, 0}},       // three parts
             Case{L"1.2.3.4.5", {0, 0, 0, 0}},
             Case{L"1.2.34", {0, 0, 0, 0}},      // shorter than seven characters
             Case{L"", {0, 0, 0, 0}},
             Case{L"1.2.3.4beta", {1, 2, 3, 4}},  // each part as far as its digits go
             Case{L"a.b.c.d", {0, 0, 0, 0}},
             Case{L"1.2.3.-1", {1, 2, 3, 0xFFFFFFFFu}},
         }) {
        EXPECT_EQ(ParseVersion(c.text), c.expected) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(IsNewerVersion, ComparesFirstSecondAndFourthNumbers) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        bool newer;
    };
    for (const Case& c : {
             Case{L"2.0.0.0", L"1.9.9.9", true},
             Case{L"1.3.0.0", L"1.2.9.9", true},
             Case{L"1.2.0.5", L"1.2.0.4", true},
             Case{L"1.2.3.4", L"1.2.3.4", false},
             Case{L"1.2.9.4", L"1.2.3.4", false},  // the third number is ignored both ways
             Case{L"1.2.3.4", L"1.2.9.4", false},
             Case{L"1.2.0.4", L"1.2.0.5", false},
             Case{L"0.0.0.1", L"2.0.1", true},     // a three-part text reads as 0.0.0.0
             Case{L"2.0.1", L"0.0.0.0", false},
             Case{L"10.0.0.0", L"9.0.0.0", true},  // numbers, not text
         }) {
        EXPECT_EQ(IsNewerVersion(c.a, c.b), c.newer) << testing::PrintToString(std::wstring(c.a)) << " vs "
                                                     << testing::PrintToString(std::wstring(c.b));
    }
}

// A manifest whose own installer is 1.0.0.5 and whose newest product is 2.0.0.0.
ProductManifest Manifest(const wchar_t* productVersion, bool standalone = false) {
    ProductManifest m;
    m.fullName = L"KAVRO Free";
    m.webInstallerVersion = L"1.0.0.5";
    m.standaloneVersion = productVersion;
    m.standalone = standalone ? 1 : 0;
    return m;
}

TEST(DecideInstall, EveryRule) {
    const InstalledProduct installed20{L"2.0.0.0", L"KAVRO Free", L"C:\\KF\\"};
    struct Case {
        const char* what;
        ProductManifest manifest;
        InstalledProduct installed;
        bool flag;
        InstallDecision expected;
    };
    ProductManifest patchTooOld = Manifest(L"2.0.0.1");
    patchTooOld.patchInstall.minWebInstallerVersion = L"1.0.0.6";
    ProductManifest patchTooOldStandalone = patchTooOld;
    patchTooOldStandalone.standalone = 1;
    ProductManifest patchSame = Manifest(L"2.0.0.1");
    patchSame.patchInstall.minWebInstallerVersion = L"1.0.7.5";  // third number: not newer
    ProductManifest freshTooOld = Manifest(L"2.0.0.0");
    freshTooOld.freshInstall.minWebInstallerVersion = L"1.1.0.0";
    freshTooOld.patchInstall.minWebInstallerVersion = L"0.0.0.1";
    ProductManifest freshTooOldStandalone = freshTooOld;
    freshTooOldStandalone.standalone = 1;
    ProductManifest onlyPatchTooOld = Manifest(L"2.0.0.0");
    onlyPatchTooOld.patchInstall.minWebInstallerVersion = L"9.0.0.0";

    const Case cases[] = {
        {"1: flag set, nothing recorded", Manifest(L"3.0.0.0"), {L"", L"", L"C:\\KF\\"}, true,
         InstallDecision::NothingRecorded},
        {"1 before 2: no name, no version", Manifest(L"3.0.0.0"), {}, true, InstallDecision::NothingRecorded},
        {"2: another name", Manifest(L"3.0.0.0"), {L"2.0.0.0", L"KAVRO Pro", L""}, true,
         InstallDecision::AnotherVersionInstalled},
        {"2: version but no name", Manifest(L"3.0.0.0"), {L"2.0.0.0", L"", L""}, true,
         InstallDecision::AnotherVersionInstalled},
        {"2: name differs in case only", Manifest(L"3.0.0.0"), {L"2.0.0.0", L"kavro FREE", L""}, true,
         InstallDecision::Proceed},
        {"3: same version", Manifest(L"2.0.0.0"), installed20, true, InstallDecision::AlreadyInstalled},
        {"3: older version", Manifest(L"1.9.0.0"), installed20, true, InstallDecision::AlreadyInstalled},
        {"3: third number ignored", Manifest(L"2.0.5.0"), installed20, true, InstallDecision::AlreadyInstalled},
        {"3: three-part installed version is 0.0.0.0", Manifest(L"0.0.0.1"), {L"2.0.1", L"KAVRO Free", L""},
         true, InstallDecision::Proceed},
        {"4: standalone skips the client check", patchTooOldStandalone, installed20, true,
         InstallDecision::Proceed},
        {"5: patch channel needs a newer client", patchTooOld, installed20, true, InstallDecision::ClientTooOld},
        {"5: client check ignores the third number", patchSame, installed20, true, InstallDecision::Proceed},
        {"6: upgrade", Manifest(L"2.0.0.1"), installed20, true, InstallDecision::Proceed},
        {"7: fresh standalone", freshTooOldStandalone, {}, false, InstallDecision::Proceed},
        {"8: fresh channel needs a newer client", freshTooOld, {}, false, InstallDecision::ClientTooOld},
        {"9: fresh install", onlyPatchTooOld, {}, false, InstallDecision::Proceed},
        {"9: a record without a flag is not looked at", Manifest(L"1.0.0.0"), {L"9.0.0.0", L"Other", L""},
         false, InstallDecision::Proceed},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideInstall(c.manifest, c.installed, c.flag), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace ovek
