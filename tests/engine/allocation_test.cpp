// A steady-state frame must not touch the heap, except the once-a-second title. The global
// allocation functions are replaced to count allocations made on the test's thread.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "support/headless_engine.h"

// The replacements pair malloc with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
thread_local bool counting = false;
thread_local long allocations = 0;
} // namespace

void* operator new(std::size_t size) {
    if (counting) allocations++;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

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

TEST(Allocation, SteadyFramesAllocateNothingButTheTitle) {
    HeadlessEngine<Busy> app(800, 600);
    app.Prepare();
    app.UpdateKeyState(3, true);
    app.UpdateMouse(5, 5);
    AllocationsIn(app, 0.01f); // the first frame sets the title
    for (int i = 0; i < 50; i++) EXPECT_EQ(AllocationsIn(app, 0.01f), 0) << "frame " << i;
    EXPECT_GT(AllocationsIn(app, 1.0f), 0); // this one completes the second
    EXPECT_EQ(AllocationsIn(app, 0.01f), 0);
}

// Recording writes each frame from fixed buffers: no allocation while input changes either.
TEST(Allocation, RecordedFramesAllocateNothing) {
    HeadlessEngine<Busy> app(800, 600);
    app.Prepare();
    const std::string path = ::testing::TempDir() + "allocation.rec";
    ASSERT_EQ(app.StartRecording(path, 1), Ok);
    AllocationsIn(app, 0.01f);
    for (int i = 0; i < 50; i++) {
        app.UpdateKeyState(i % 80, i % 3 == 0);
        app.UpdateMouse(i, i);
        app.UpdateMouseWheel(i);
        EXPECT_EQ(AllocationsIn(app, 0.01f), 0) << "frame " << i;
    }
    EXPECT_EQ(app.StopRecording(), Ok);
    std::remove(path.c_str());
}

} // namespace
} // namespace dral::testing
