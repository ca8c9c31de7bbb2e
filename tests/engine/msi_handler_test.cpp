#include <gtest/gtest.h>

#include <vector>

#include "engine/InstallEngine.h"
#include "framework/MessageBox.h"
#include "manifest/InstallerContext.h"

namespace ovek {
namespace {

class MsiHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheContext() = InstallerContext();
        TheContext().manifest.shortName = L"KAVRO Free";
        previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes_.push_back(r);
            return IDRETRY;
        });
        engine_ = std::make_unique<InstallEngine>();
    }
    void TearDown() override { SetMessageBoxHandler(previous_); }
    int Send(UINT type, const wchar_t* text) { return InstallEngine::MsiMessageHandler(engine_.get(), type, text); }

    MessageBoxHandler previous_;
    std::vector<MessageBoxRequest> boxes_;
    std::unique_ptr<InstallEngine> engine_;
};

TEST_F(MsiHandlerTest, AnswersByMessageType) {
    struct Case {
        UINT type;
        int answer;
    } cases[] = {
        {0x02000000, 1}, {0x03000000, 1}, {0x05000000, 0}, {0x06000000, 0}, {0x08000000, 1}, {0x09000000, 1},
        {0x0B000000, 1}, {0x0C000000, 1}, {0x0D000000, 1}, {0x0E000000, 1}, {0x1B000000, 1}, {0x1A000000, 0},
    };
    for (auto& c : cases) EXPECT_EQ(Send(c.type, L"text"), c.answer) << std::hex << c.type;
    EXPECT_EQ(Send(0x02000000, nullptr), 0);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(MsiHandlerTest, ErrorsBecomeBoxesWithTheRequestedStyle) {
    for (UINT type : {0x00000000u, 0x01000000u, 0x07000000u}) {
        EXPECT_EQ(Send(type | MB_RETRYCANCEL | MB_ICONERROR, L"Disk full"), IDRETRY);
        ASSERT_FALSE(boxes_.empty());
        EXPECT_EQ(boxes_.back().text, L"Disk full");
        EXPECT_EQ(boxes_.back().caption, L"KAVRO Free");
        EXPECT_EQ(boxes_.back().flags, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONERROR));
    }
    EXPECT_EQ(boxes_.size(), 3u);
}

TEST_F(MsiHandlerTest, LogLinesGiveTheHomePageOnce) {
    EXPECT_EQ(Send(0x04000000, L"Property(S): ProductName = KAVRO Free"), 1);
    EXPECT_EQ(Send(0x04000000, L"Property(S): InstallHomepageURL = http://127.0.0.1/home"), 1);
    EXPECT_EQ(Send(0x04000000, L"Property(S): InstallHomepageURL = http://127.0.0.1/other"), 1);
    EXPECT_EQ(engine_->InstallHomepageUrl(), L"http://127.0.0.1/home");
}

TEST_F(MsiHandlerTest, CancellationIsAnsweredAtTheNextProgressOrAction) {
    EXPECT_EQ(Send(0x0A000000, L"1: 0 2: 100 3: 0 4: 0"), 1);
    engine_->RequestCancel();
    EXPECT_EQ(Send(0x0A000000, L"1: 2 2: 10"), IDCANCEL);
    EXPECT_EQ(Send(0x08000000, L"Action 12:00:00: InstallFiles."), IDCANCEL);
    EXPECT_EQ(Send(0x04000000, L"Action start 12:00:00: InstallFiles."), 1);
}

}  // namespace
}  // namespace ovek
