#include <gtest/gtest.h>

#include "net/DownloadStatus.h"
#include "net/HttpRules.h"

namespace ovek {
namespace {

TEST(SizeQueryStatus, AcceptsTwoHundredToFiveHundredButForbiddenAndNotFound) {
    const struct {
        unsigned long status;
        bool accepted;
    } cases[] = {{100, false}, {199, false}, {200, true}, {206, true}, {302, true}, {401, true}, {403, false},
                 {404, false}, {405, true}, {499, true}, {500, true}, {501, false}, {503, false}};
    for (const auto& c : cases) EXPECT_EQ(IsSizeQueryStatusAccepted(c.status), c.accepted) << c.status;
}

TEST(SizeAnswer, HeadSettlesOnlyWithAnAcceptedStatusAndALength) {
    const struct {
        SizeAnswer answer;
        std::int64_t size;
        bool headFinal;
    } cases[] = {
        {{false, 0, -1}, 0, false},             // no answer at all
        {{true, 200, 1000}, 1000, true},
        {{true, 302, 1000}, 1000, true},        // the rules accept redirects
        {{true, 500, 1000}, 1000, true},
        {{true, 405, 150}, 150, false},         // GET counts it, HEAD asks again
        {{true, 501, 1000}, 0, false},
        {{true, 404, 1000}, 0, false},
        {{true, 200, -1}, 0, false},            // no length
        {{true, 200, 0}, 0, false},
        {{true, 200, 5368709120LL}, 5368709120LL, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.answer.status << " " << c.answer.length);
        EXPECT_EQ(SizeFromAnswer(c.answer), c.size);
        EXPECT_EQ(IsHeadSizeAnswerFinal(c.answer), c.headFinal);
    }
}

TEST(ContentLength, ReadsSixtyFourBitSizesAndRefusesNonsense) {
    const struct {
        const char* text;
        std::int64_t size;
    } cases[] = {
        {"0", 0},
        {"3145728", 3145728},
        {" 42\r\n", 42},
        {"2147483648", 2147483648LL},        // 2 GiB: past the 32-bit range
        {"5368709120", 5368709120LL},        // 5 GiB
        {"99999999999999999999999", INT64_MAX},
        {"", 0},
        {"-5", 0},
        {"12abc", 0},
        {"abc", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseContentLength(c.text), c.size) << '"' << c.text << '"';
}

TEST(DownloadPercent, TruncatesAndNeverDividesByZeroOrPassesAHundred) {
    const struct {
        std::uint64_t done, total;
        unsigned percent;
    } cases[] = {{0, 0, 0},          {500, 0, 0},        {0, 1000, 0},          {999, 1000, 99},
                 {1000, 1000, 100},  {1500, 1000, 100},  {1ULL << 40, 1ULL << 41, 50},
                 {UINT64_MAX - 1, UINT64_MAX, 99}};
    for (const auto& c : cases) {
        DownloadStatusInfo info;
        info.bytesDone = c.done;
        info.bytesTotal = c.total;
        EXPECT_EQ(DownloadPercent(info), c.percent) << c.done << "/" << c.total;
    }
}

}  // namespace
}  // namespace ovek
