// Platform_SDL's slots that need no display: the results of the trivial ones, the refusal to run
// on an invisible video driver, and the shut-down hand-over from the engine thread.
#include <SDL.h>
#include <gtest/gtest.h>

#include <thread>

#include "platform/sdl/platform_sdl.h"
#include "support/headless_engine.h"
#include "tests/engine/recording_backends.h"

namespace dral {
namespace {

// SDL on its "dummy" driver, which stays for the whole test program: events work, nothing can be
// seen.
class SdlWithoutDisplay : public ::testing::Test {
  protected:
    SdlWithoutDisplay() {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        engine.headlessRenderer->CreateDevice({nullptr}, false, false);
    }

    testing::HeadlessEngine<> engine; // owns the process-wide renderer the platform releases
    Platform_SDL sdl;
};

TEST_F(SdlWithoutDisplay, TrivialSlots) {
    EXPECT_EQ(sdl.StartThread(), Ok);
    EXPECT_EQ(sdl.HandleSystemEvent(), Fail);
}

TEST_F(SdlWithoutDisplay, RefusesToOpenAWindowNobodyCanSee) {
    ASSERT_EQ(sdl.StartApplication(), Ok);
    EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "dummy");
    Vec2i size{400, 300};
    EXPECT_EQ(sdl.CreateAppWindow({30, 30}, size, false), Fail);
    EXPECT_EQ(sdl.CreateAppWindow({30, 30}, size, true), Fail);
    EXPECT_EQ(size, Vec2i(400, 300));
    EXPECT_EQ(sdl.Window(), nullptr);
    EXPECT_EQ(sdl.CleanUpApplication(), Ok);
}

// A window on which the renderer's device cannot be made gives no GPU surface: what the engine
// asks after a failed CreateGraphics before it turns to its fallback renderer, whose frames this
// platform shows.
TEST_F(SdlWithoutDisplay, AFailedDeviceMeansTheWindowGivesNoGpuSurface) {
    EXPECT_TRUE(sdl.ShowsCpuFrames());
    EXPECT_EQ(sdl.CreateGraphics(false, false, {0, 0}, {64, 48}), Ok);
    EXPECT_TRUE(sdl.GivesGpuSurface());
    testing::CallLog log;
    auto failing = std::make_unique<testing::RecordingRenderer>(log);
    failing->failCreateDevice = true;
    renderer = std::move(failing);
    EXPECT_EQ(sdl.CreateGraphics(false, false, {0, 0}, {64, 48}), Fail);
    EXPECT_FALSE(sdl.GivesGpuSurface());
    EXPECT_EQ(log.Calls(), std::vector<std::string>{"CreateDevice"});
    renderer.reset(); // it records into this test's log
}

TEST_F(SdlWithoutDisplay, CleanUpThreadReleasesTheDeviceAndEndsTheEventLoop) {
    ASSERT_EQ(sdl.StartApplication(), Ok);
    std::thread engineThread([this] {
        sdl.SetWindowTitle("a title nobody shows");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        sdl.CleanUpThread();
    });
    EXPECT_EQ(sdl.RunEventLoop(), Ok);
    engineThread.join();
    EXPECT_FALSE(engine.headlessRenderer->deviceExists);
    EXPECT_EQ(sdl.CleanUpApplication(), Ok);
}

TEST_F(SdlWithoutDisplay, EventLoopEndsAtOnceWhenTheEngineThreadFinishedFirst) {
    ASSERT_EQ(sdl.StartApplication(), Ok);
    std::thread([this] { sdl.CleanUpThread(); }).join();
    EXPECT_EQ(sdl.RunEventLoop(), Ok);
    EXPECT_EQ(sdl.CleanUpApplication(), Ok);
}

} // namespace
} // namespace dral
