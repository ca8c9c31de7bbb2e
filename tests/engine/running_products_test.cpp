#include <gtest/gtest.h>

#include <objbase.h>

#include <vector>

#include "engine/RunningProducts.h"
#include "framework/MessageBox.h"
#include "support/TestSupport.h"

namespace ovek {
namespace {

class RunningProductsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes_.push_back(r);
            return answer_ ? answer_(boxes_.size()) : IDCANCEL;
        });
    }
    void TearDown() override { SetMessageBoxHandler(previous_); }

    static UniqueHandle Hold(const wchar_t* name) { return UniqueHandle(::CreateSemaphoreW(nullptr, 1, 1, name)); }

    MessageBoxHandler previous_;
    std::vector<MessageBoxRequest> boxes_;
    std::function<int(std::size_t)> answer_;
};

TEST_F(RunningProductsTest, NothingRunningAsksNothing) {
    EXPECT_TRUE(CheckRunningProducts(L"KAVRO Free", nullptr));
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(RunningProductsTest, RetryAfterClosingOneListsTheOtherThenCancelGivesUp) {
    UniqueHandle editor = Hold(L"TesmoKavroFreeInstance_80");
    UniqueHandle recorder = Hold(L"TesmoKavroFreeVRInstance_80");
    UniqueHandle stranger = Hold(L"TesmoSomethingElseInstance_80");  // not ours: never listed
    ASSERT_TRUE(editor && recorder && stranger);
    answer_ = [&](std::size_t n) {
        if (n == 1) {
            editor.reset();
            return IDRETRY;
        }
        return IDCANCEL;
    };
    EXPECT_FALSE(CheckRunningProducts(L"KAVRO Free", nullptr));
    ASSERT_EQ(boxes_.size(), 2u);
    const std::wstring intro = L"The following applications should be closed before continuing the installation:";
    EXPECT_EQ(boxes_[0].text, intro + L"\n\nKAVRO Free Video Editor.exe\r\nKAVRO Free Video Recorder.exe\r\n");
    EXPECT_EQ(boxes_[1].text, intro + L"\n\nKAVRO Free Video Recorder.exe\r\n");
    EXPECT_EQ(boxes_[0].caption, L"KAVRO Free");
    EXPECT_EQ(boxes_[0].flags, static_cast<UINT>(0x35));
}

TEST_F(RunningProductsTest, RetryAfterClosingEverythingGoesOn) {
    UniqueHandle editor = Hold(L"TesmoKavroFreeInstance_80");
    ASSERT_TRUE(editor);
    answer_ = [&](std::size_t) {
        editor.reset();
        return IDRETRY;
    };
    EXPECT_TRUE(CheckRunningProducts(L"KAVRO Free", nullptr));
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(RunningProductsTest, TheRunningEditorIsFoundUntilItEnds) {
    // The product's editor stand-in holds its semaphore while it runs.
    auto editor = test::ChildProcess::Start(L"\"" + test::BuildPath(L"kavro_editor_helper.exe") + L"\" 60");
    ASSERT_TRUE(editor);
    bool running = false;
    for (int i = 0; i < 100 && !running; ++i) {
        running = !FindRunningPrograms().empty();
        if (!running) ::Sleep(50);
    }
    ASSERT_TRUE(running) << "the editor did not start";
    answer_ = [](std::size_t n) { return n == 1 ? IDRETRY : IDCANCEL; };
    EXPECT_FALSE(CheckRunningProducts(L"KAVRO Free", nullptr));
    EXPECT_EQ(boxes_.size(), 2u);

    UniqueHandle quit(::CreateEventW(nullptr, TRUE, FALSE, L"OvekTestKavroEditorQuit"));
    ::SetEvent(quit.get());
    EXPECT_TRUE(editor->Wait(10000).has_value());
    boxes_.clear();
    EXPECT_TRUE(CheckRunningProducts(L"KAVRO Free", nullptr));
    EXPECT_TRUE(boxes_.empty());
}

class DesktopLaunch : public ::testing::Test {
protected:
    void SetUp() override { com_ = ::CoInitialize(nullptr); }
    void TearDown() override {
        if (SUCCEEDED(com_)) ::CoUninitialize();
    }
    HRESULT com_ = E_FAIL;
};

TEST_F(DesktopLaunch, TheShellStartsTheProgram) {
    // A folder with a space, as under "C:\Users\Ann Lee".
    const std::wstring folder = test::MakeTempFolder(L"desktop launch");
    const std::wstring program = folder + L"\\KAVRO Free Video Editor.exe";
    ASSERT_TRUE(::CopyFileW(test::BuildPath(L"dependency_recorder_helper.exe").c_str(), program.c_str(), FALSE));
    if (!FindDesktopShellView()) GTEST_SKIP() << "no desktop shell here";
    LaunchAsDesktopUser(program);
    bool started = false;
    for (int i = 0; i < 100 && !started; ++i) {
        started = ::GetFileAttributesW((program + L".cmdline").c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!started) ::Sleep(100);
    }
    EXPECT_TRUE(started) << "the shell did not start the program";
}

TEST_F(DesktopLaunch, AMissingProgramIsNotReported) {
    LaunchAsDesktopUser(L"C:\\does\\not\\exist.exe");
}

}  // namespace
}  // namespace ovek
