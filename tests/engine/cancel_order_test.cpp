// A worker that ends at the very moment the user cancels must report the
// cancellation, never a failure: RequestCancel writes the state before it
// raises the flags that stop the worker.
#include <gtest/gtest.h>

#include "engine/InstallEngine.h"
#include "framework/MessageBox.h"

namespace ovek {
namespace {

TEST(CancelOrder, AWorkerEndingBetweenTheStepsEndsCancelled) {
    int boxes = 0;
    MessageBoxHandler previous = SetMessageBoxHandler([&](const MessageBoxRequest&) {
        ++boxes;
        return IDOK;
    });
    for (const bool succeeded : {false, true}) {
        SCOPED_TRACE(succeeded ? "the run had succeeded" : "the run stopped at the flag");
        InstallEngine engine;
        bool ranBetween = false;
        engine.betweenCancelSteps = [&] {
            // The worker finishing here: the flags may or may not be up yet.
            ranBetween = true;
            engine.FinishRun(succeeded && !engine.CancelRequested());
        };
        engine.RequestCancel();
        EXPECT_TRUE(ranBetween);
        EXPECT_TRUE(engine.CancelRequested());
        const StatusSnapshot snap = engine.TakeStatusSnapshot();
        EXPECT_EQ(snap.state, kStateCancelled);
        EXPECT_EQ(snap.statusText, L"Cancelled.");
    }
    EXPECT_EQ(boxes, 0);
    SetMessageBoxHandler(previous);
}

TEST(CancelOrder, AFinalStateWrittenBeforeTheRequestIsKept) {
    for (const bool succeeded : {false, true}) {
        InstallEngine engine;
        engine.FinishRun(succeeded);
        engine.RequestCancel();
        EXPECT_EQ(engine.TakeStatusSnapshot().state, succeeded ? kStateFinished : kStateFailed);
    }
}

}  // namespace
}  // namespace ovek
