// A steady-state frame must not touch the heap, not even for the once-a-second title. The global
// allocation functions are replaced to count allocations made on the test's thread.
#include <gtest/gtest.h>

#include <cstdio>

#include "record/recorder.h"
#include "support/counting_new.h"
#include "support/headless_engine.h"

namespace dral::testing {
namespace {

class Busy : public Tesserine {
  public:
    bool OnUpdate(float) override {
        Clear(Black);
        FillRect(1, 1, 10, 10, Red);
        DrawString(2, 2, "Hi", White);
        return true;
    }
};

long AllocationsIn(HeadlessEngine<Busy>& app, float elapsed) {
    allocations = 0;
    counting = true;
    app.RunFrameFor(elapsed);
    counting = false;
    return allocations;
}

TEST(Allocation, SteadyFramesAllocateNothingTitlesIncluded) {
    HeadlessEngine<Busy> app(800, 600);
    app.Prepare();
    app.UpdateKeyState(3, true);
    app.UpdateMouse(5, 5);
    // Two seconds of warm-up: the first titles give the title's storage its size.
    for (int frame = 0; frame < 2 * 51; frame++) AllocationsIn(app, frame % 51 ? 0.01f : 1.0f);
    for (int frame = 0; frame < 3 * 51; frame++)
        EXPECT_EQ(AllocationsIn(app, frame % 51 ? 0.01f : 1.0f), 0) << "frame " << frame;
}

// Recording writes each frame from fixed buffers: no allocation while input changes either.
TEST(Allocation, RecordedFramesAllocateNothing) {
    HeadlessEngine<Busy> app(800, 600);
    app.Prepare();
    const std::string path = ::testing::TempDir() + "allocation.rec";
    Recorder recorder(app);
    ASSERT_EQ(recorder.Record(path, 1), Ok);
    AllocationsIn(app, 0.01f);
    for (int i = 0; i < 50; i++) {
        app.UpdateKeyState(i % 80, i % 3 == 0);
        app.UpdateMouse(i, i);
        app.UpdateMouseWheel(i);
        EXPECT_EQ(AllocationsIn(app, 0.01f), 0) << "frame " << i;
    }
    EXPECT_EQ(recorder.Stop(), Ok);
    std::remove(path.c_str());
}

} // namespace
} // namespace dral::testing
