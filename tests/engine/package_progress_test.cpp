#include <gtest/gtest.h>

#include <vector>

#include "engine/PackageProgress.h"

namespace ovek {
namespace {

class ProgressTest : public ::testing::Test {
protected:
    std::vector<std::int32_t> reports;
    PackageProgress progress{[this](std::int32_t p) { reports.push_back(p); }};

    void Feed(std::initializer_list<const wchar_t*> records) {
        for (auto r : records) EXPECT_EQ(progress.ParseProgressMessage(r, false), 1) << r;
    }
};

TEST_F(ProgressTest, CountingUpFillsThePackage) {
    progress.ResetForPackage();
    Feed({L"1: 0 2: 1000 3: 0 4: 0", L"1: 2 2: 250", L"1: 2 2: 250 3: 0 4: 0 ", L"1: 2 2: 500"});
    EXPECT_EQ(reports, (std::vector<std::int32_t>{25, 50, 100}));
}

TEST_F(ProgressTest, CountingDownKeepsTheHighWaterMark) {
    progress.ResetForPackage();
    Feed({L"1: 0 2: 1000 3: 1 4: 0"});
    EXPECT_EQ(progress.progressPosition, 1000);
    Feed({L"1: 2 2: 250", L"1: 2 2: 250"});
    EXPECT_EQ(progress.progressPosition, 500);
    EXPECT_EQ(reports, (std::vector<std::int32_t>{75, 75}));
}

TEST_F(ProgressTest, ReportsBeyondTheTotalAndAdditions) {
    progress.ResetForPackage();
    Feed({L"1: 0 2: 1000 3: 0 4: 0", L"1: 2 2: 1001"});  // a single report larger than the total
    EXPECT_TRUE(reports.empty());
    Feed({L"1: 3 2: 500"});  // an addition does not enlarge the total...
    EXPECT_EQ(progress.progressTotal, 1000);
    Feed({L"1: 2 2: 600", L"1: 2 2: 600"});  // ...so the position may pass it
    EXPECT_EQ(reports, (std::vector<std::int32_t>{60, 120}));
}

TEST_F(ProgressTest, ActionInformationAdvancesOnlyWhenAsked) {
    progress.ResetForPackage();
    Feed({L"1: 1 2: 100 3: 1"});  // before any reset: nothing
    EXPECT_TRUE(reports.empty());
    Feed({L"1: 0 2: 1000 3: 0 4: 0", L"1: 1 2: 100 3: 0", L"1: 1 2: 100 3: 1"});
    EXPECT_EQ(reports, (std::vector<std::int32_t>{10}));
    EXPECT_EQ(progress.field[1], 100);
}

TEST_F(ProgressTest, LaterPhasesFillWhatIsLeft) {
    progress.ResetForPackage();
    Feed({L"1: 0 2: 1000 3: 0 4: 0", L"1: 2 2: 400", L"1: 0 2: 200 3: 0 4: 0", L"1: 2 2: 100"});
    EXPECT_EQ(progress.packageBase, 40);
    EXPECT_EQ(reports, (std::vector<std::int32_t>{40, 70}));
}

TEST_F(ProgressTest, SecondPackageStartsWhereTheFirstEnded) {
    progress.ResetForPackage();
    Feed({L"1: 0 2: 100 3: 0 4: 0", L"1: 2 2: 80"});
    progress.ResetForPackage();
    EXPECT_TRUE(progress.progressActive);  // carries over
    EXPECT_EQ(progress.packagePercent, 80);
    Feed({L"1: 2 2: 10"});  // no reset yet: the total is 0, so any report exceeds it
    EXPECT_EQ(reports, (std::vector<std::int32_t>{80}));
    Feed({L"1: 0 2: 100 3: 0 4: 0", L"1: 2 2: 50"});
    EXPECT_EQ(reports, (std::vector<std::int32_t>{80, 90}));
}

TEST_F(ProgressTest, MalformedRecordsChangeNothing) {
    progress.ResetForPackage();
    Feed({L"1: 0 2: 1000 3: 0 4: 0"});
    const wchar_t* bad[] = {L"x", L"1: 12 2: 3", L"1: 2 3: 5", L"2: 5", L"1:2 2: 5", L"1: 0 2: 7 x: 1", L"1: "};
    for (auto r : bad) {
        EXPECT_EQ(progress.ParseProgressMessage(r, true), 1) << r;  // not even a cancel answer
        EXPECT_EQ(progress.progressTotal, 1000) << r;
        EXPECT_EQ(progress.field[0], 0) << r;
        EXPECT_EQ(progress.field[1], 1000) << r;
    }
    EXPECT_EQ(progress.ParseProgressMessage(L"", true), 1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ProgressTest, CancellationIsTheAnswer) {
    progress.ResetForPackage();
    EXPECT_EQ(progress.ParseProgressMessage(L"1: 0 2: 1000 3: 0 4: 0", true), 2);
    EXPECT_EQ(progress.ParseProgressMessage(L"1: 2 2: 10", true), 2);
    EXPECT_EQ(progress.ParseProgressMessage(L"1: 2 2: 10", false), 1);
}

TEST_F(ProgressTest, HugeFiguresDoNotOverflow) {
    progress.ResetForPackage();
    Feed({L"1: 0 2: 2147483647 3: 0 4: 0", L"1: 2 2: 2147483647", L"1: 2 2: 99999999999"});
    EXPECT_EQ(progress.packagePercent, 100);
    EXPECT_EQ(reports.front(), 100);
}

TEST(ScanLogLine, FirstMatchWins) {
    struct Case {
        const wchar_t* line;
        const wchar_t* url;
    } cases[] = {
        {L"Property(S): InstallHomepageURL = http://127.0.0.1/home", L"http://127.0.0.1/home"},
        {L"property(s):   installhomepageurl =   http://a/b  \r\n", L"http://a/b"},
        {L"Property(C): InstallHomepageURL = http://client/", L""},
        {L"Property(S): InstallHomepageURL= http://x/", L""},
        {L"Property(S): ProductName = KAVRO Free", L""},
        {L"Property(S):", L""},
        {L"", L""},
    };
    for (auto& c : cases) {
        std::wstring url;
        ScanLogLine(c.line, url);
        EXPECT_EQ(url, c.url) << c.line;
    }
    std::wstring url;
    EXPECT_TRUE(ScanLogLine(L"Property(S): InstallHomepageURL = http://first/", url));
    EXPECT_FALSE(ScanLogLine(L"Property(S): InstallHomepageURL = http://second/", url));
    EXPECT_EQ(url, L"http://first/");
}

TEST(ReadLong, ReadsLikeTheRuntime) {
    EXPECT_EQ(ReadLong(L"42"), 42);
    EXPECT_EQ(ReadLong(L"  -7x"), -7);
    EXPECT_EQ(ReadLong(L"abc"), 0);
    EXPECT_EQ(ReadLong(L"99999999999"), 2147483647);
    EXPECT_EQ(ReadLong(L"-99999999999"), -2147483647 - 1);
}

}  // namespace
}  // namespace ovek
