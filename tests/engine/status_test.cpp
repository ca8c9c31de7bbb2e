#include <gtest/gtest.h>

#include <thread>

#include "engine/InstallStatus.h"

namespace ovek {
namespace {

std::wstring English(EngineText id) { return EngineTextDefault(id); }

TEST(NormalizeWeights, ScalesToExactlyOneHundred) {
    struct Case {
        std::vector<std::int32_t> in, out;
    } cases[] = {
        {{40, 40, 50, 5, 5}, {28, 28, 35, 3, 6}},
        {{}, {}},
        {{50}, {100}},
        {{1, 1, 1}, {33, 33, 34}},
        {{0, 0}, {0, 100}},  // nothing to weigh must not divide by zero
    };
    for (auto& c : cases) {
        auto w = c.in;
        NormalizeWeights(w);
        EXPECT_EQ(w, c.out);
    }
}

TEST(OverallPercent, SumsFinishedItemsAndTheCurrentShare) {
    const std::vector<std::int32_t> w = {28, 28, 35, 3, 6};
    EXPECT_FLOAT_EQ(OverallPercent(w, 0, 0), 0.0f);
    EXPECT_FLOAT_EQ(OverallPercent(w, 1, 50), 42.0f);
    EXPECT_FLOAT_EQ(OverallPercent(w, 4, 100), 100.0f);
    EXPECT_FLOAT_EQ(OverallPercent(w, 2, 400), 91.0f);  // an item past 100 % fills only its own share
    EXPECT_FLOAT_EQ(OverallPercent(w, -1, 0), 100.0f);   // final states carry no item
    EXPECT_FLOAT_EQ(OverallPercent(w, 5, 0), 100.0f);
}

TEST(FormatTimeRemaining, ChoosesSecondsMinutesOrHours) {
    struct Case {
        std::uint32_t ms;
        const wchar_t* text;
    } cases[] = {
        {0, L"00 secs remaining..."},
        {1000, L"01 secs remaining..."},
        {59999, L"59 secs remaining..."},
        {60000, L"01 mins 00 secs remaining..."},
        {3599999, L"59 mins 59 secs remaining..."},
        {3600000, L"01 hours 00 mins 00 secs remaining..."},
        {3723000, L"01 hours 02 mins 03 secs remaining..."},
        {100u * 3600000u, L"100 hours 00 mins 00 secs remaining..."},
    };
    for (auto& c : cases) EXPECT_EQ(FormatTimeRemaining(c.ms, English), c.text) << c.ms;
}

TEST(FormatText, DamagedTranslationsNeverReadPastTheArguments) {
    EXPECT_EQ(FormatText(L"%s is ready", {std::wstring(L"KAVRO")}), L"KAVRO is ready");
    EXPECT_EQ(FormatText(L"%02d:%02d", {std::int64_t{3}, std::int64_t{7}}), L"03:07");
    EXPECT_EQ(FormatText(L"%d%% %5d|%-3d", {std::int64_t{-4}, std::int64_t{42}}), L"-4%    42|%-3d");
    EXPECT_EQ(FormatText(L"%s %s %d %n %x %", {std::wstring(L"a")}), L"a   %n %x %");
    EXPECT_EQ(FormatText(L"%d", {std::wstring(L"text")}), L"0");  // wrong kind of argument
}

class StatusTest : public ::testing::Test {
protected:
    std::uint32_t now = 5000;
    InstallStatus status{English, [this] { return now; }};
};

TEST_F(StatusTest, PhasePercentagesWithDownloads) {
    status.SetWeights({100}, {50, 50});
    struct Case {
        std::int32_t state, index, percent;
        float overall;
        const wchar_t* text;
    } cases[] = {
        {0, -1, 0, 0.0f, L"Initializing..."},
        {2, 0, 50, 25.0f, L"Downloading, please wait..."},
        {2, 0, 100, 50.0f, L"Downloading, please wait..."},
        {3, 0, 0, 50.0f, L"Installing, please wait..."},
        {3, 1, 50, 87.5f, L"Installing, please wait..."},
        {3, 0, 250, 75.0f, L"Installing, please wait..."},
        {3, 1, 250, 100.0f, L"Installing, please wait..."},
        {5, -1, 0, 100.0f, L"Finished."},
        {6, -1, 0, 0.0f, L"Install failed."},
        {9, 0, 0, 0.0f, L"Initializing..."},  // unknown states read as "initialising"
        {7, -1, 0, 0.0f, L"Cancelled."},
    };
    for (auto& c : cases) {
        status.SetStatus(c.state, c.index, c.percent);
        auto snap = status.TakeStatusSnapshot();
        EXPECT_EQ(snap.state, c.state);
        EXPECT_FLOAT_EQ(snap.overallPercent, c.overall) << c.state << " " << c.index << " " << c.percent;
        EXPECT_EQ(snap.statusText, c.text);
    }
}

TEST_F(StatusTest, WithoutDownloadsInstallationFillsTheWholeBar) {
    status.SetWeights({}, {50, 50});
    EXPECT_TRUE(status.DownloadWeights().empty());
    status.SetStatus(2, 0, 50);
    EXPECT_FLOAT_EQ(status.TakeStatusSnapshot().overallPercent, 0.0f);
    status.SetStatus(3, 0, 50);
    EXPECT_FLOAT_EQ(status.TakeStatusSnapshot().overallPercent, 25.0f);
    status.SetStatus(3, 1, 100);
    EXPECT_FLOAT_EQ(status.TakeStatusSnapshot().overallPercent, 100.0f);
}

TEST_F(StatusTest, TimeRemainingFromTheFirstSnapshot) {
    status.SetWeights({100}, {100});
    // Nothing done yet: no estimate.
    EXPECT_EQ(status.TakeStatusSnapshot().timeText, L"Calculating time remaining...");
    now += 10000;
    status.SetStatus(2, 0, 50);  // half the downloads after 10 s: 10 s to go in this phase
    EXPECT_EQ(status.TakeStatusSnapshot().timeText, L"10 secs remaining...");
    now += 10000;
    status.SetStatus(3, 0, 25);  // installing: elapsed still counts from the first snapshot
    EXPECT_EQ(status.TakeStatusSnapshot().timeText, L"01 mins 00 secs remaining...");
    status.SetStatus(3, 0, 100);  // estimate equals elapsed: shown as one second
    EXPECT_EQ(status.TakeStatusSnapshot().timeText, L"01 secs remaining...");
    status.SetStatus(5, -1, 0);
    EXPECT_EQ(status.TakeStatusSnapshot().timeText, L"01 secs remaining...");
    for (std::int32_t state : {6, 7}) {
        status.SetStatus(state, -1, 0);
        auto snap = status.TakeStatusSnapshot();
        EXPECT_EQ(snap.timeText, L"Calculating time remaining...");
        EXPECT_FLOAT_EQ(snap.overallPercent, 0.0f);
    }
}

TEST_F(StatusTest, FirstSnapshotInProgressShowsOneSecond) {
    status.SetWeights({100}, {100});
    status.SetStatus(2, 0, 30);
    EXPECT_EQ(status.TakeStatusSnapshot().timeText, L"01 secs remaining...");
}

TEST_F(StatusTest, OnlyCancelledReplacesCancelling) {
    status.SetWeights({100}, {100});
    status.SetStatus(2, 0, 10);
    EXPECT_TRUE(status.TrySetCancelling());
    auto snap = status.TakeStatusSnapshot();
    EXPECT_EQ(snap.statusText, L"Cancelling...");
    EXPECT_FLOAT_EQ(snap.overallPercent, 0.0f);
    EXPECT_EQ(snap.timeText, L"Calculating time remaining...");
    for (std::int32_t state : {2, 3, 5, 6}) {
        status.SetStatus(state, 0, 50);
        EXPECT_EQ(status.State(), kStateCancelling);
    }
    status.SetStatus(7, -1, 0);
    EXPECT_EQ(status.State(), kStateCancelled);
}

TEST_F(StatusTest, CancellingNeverReplacesAFinalState) {
    for (std::int32_t state : {5, 6, 7}) {
        InstallStatus s(English);
        s.SetStatus(state, -1, 0);
        EXPECT_FALSE(s.TrySetCancelling());
        EXPECT_EQ(s.State(), state);
    }
}

TEST(InstallStatusThreads, SnapshotsSeeConsistentWrites) {
    // The writer always pairs index i with percent 100, so any torn read
    // (index from one write, percent from another) would show up as a
    // percentage that is not a multiple of the weight.
    InstallStatus status(English);
    status.SetWeights({}, {10, 10, 10, 10, 10, 10, 10, 10, 10, 10});
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int n = 0; !stop; ++n) {
            status.SetStatus(3, n % 10, 0);
            status.SetStatus(3, n % 10, 100);
        }
    });
    for (int i = 0; i < 20000; ++i) {
        const float p = status.TakeStatusSnapshot().overallPercent;
        ASSERT_FLOAT_EQ(p, static_cast<float>(static_cast<int>(p) / 10 * 10)) << p;
    }
    stop = true;
    writer.join();
}

}  // namespace
}  // namespace ovek
