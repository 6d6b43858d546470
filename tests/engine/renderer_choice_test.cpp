// The engine's choice of renderer, without a display: when the platform's window gives the
// renderer no GPU surface and the platform shows frames composed on the CPU, the build's fallback
// renderer takes over and its frames reach the platform; otherwise a failed device ends the run.
#include <gtest/gtest.h>

#include "engine/tesserine.h"
#include "recording_backends.h"
#include "renderer/software/renderer_software.h"

namespace dral::testing {
namespace {

const Pixel Fill{0, 160, 255, 255};

// A recording platform that can say it has no GPU surface and keeps what ShowFrame is given.
class ShowingPlatform : public RecordingPlatform {
  public:
    ShowingPlatform(CallLog& calls, bool gpu, bool showsCpu)
        : RecordingPlatform(calls), gpuSurface(gpu), showsCpuFrames(showsCpu) {}
    bool GivesGpuSurface() const override { return gpuSurface; }
    bool ShowsCpuFrames() const override { return showsCpuFrames; }
    void ShowFrame(const Pixel* pixels, int32_t width, int32_t height) override {
        shown++;
        shownSize = {width, height};
        centre = pixels[size_t(height / 2) * size_t(width) + size_t(width / 2)];
    }

    bool gpuSurface, showsCpuFrames;
    int shown = 0;
    Vec2i shownSize{0, 0};
    Pixel centre{0, 0, 0, 0};
};

class FillingApp : public Tesserine {
  public:
    FillingApp(std::unique_ptr<ShowingPlatform> p, std::unique_ptr<Renderer> r) {
        shower = p.get();
        UseBackends(std::move(p), std::move(r));
    }
    bool OnCreate() override { return true; }
    bool OnUpdate(float) override {
        Clear(Fill);
        return true;
    }
    ShowingPlatform* shower;
};

struct ChoiceCase {
    const char* name;
    bool gpuSurface;     // what the platform says after the device failed
    bool showsCpuFrames; // whether it can show the fallback's frames
    bool fallsBack;      // whether the fallback renderer takes over (when the set has one)
};

class RendererChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(RendererChoice, AFailedDeviceFallsBackOnlyWithoutAGpuSurfaceOnAPlatformThatShowsFrames) {
    const ChoiceCase c = GetParam();
    const bool setHasFallback = CreateFallbackRenderer() != nullptr;
    CallLog log;
    auto gpu = std::make_unique<RecordingRenderer>(log);
    gpu->failCreateDevice = true;
    FillingApp app(std::make_unique<ShowingPlatform>(log, c.gpuSurface, c.showsCpuFrames),
                   std::move(gpu));
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    const bool fallsBack = c.fallsBack && setHasFallback;
    ASSERT_EQ(app.StartManualRun(), fallsBack ? Ok : Fail);
    EXPECT_EQ(log.Count("CreateGraphics"), fallsBack ? 2 : 1);
    if (!fallsBack) {
        EXPECT_EQ(app.shower->shown, 0);
        EXPECT_EQ(log.Count("CleanUpThread"), 1);
        return;
    }
    ASSERT_NE(dynamic_cast<Renderer_Software*>(renderer.get()), nullptr);
    for (int frame = 0; frame < 3; ++frame) app.RunFrameFor(1.0f / 60.0f);
    EXPECT_EQ(app.shower->shown, 3);
    EXPECT_EQ(app.shower->shownSize, Vec2i(64, 48));
    EXPECT_EQ(app.shower->centre, Fill);
    EXPECT_EQ(app.EndManualRun(), Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RendererChoice,
    ::testing::Values(ChoiceCase{"NoGpuSurfaceShowsCpuFrames", false, true, true},
                      ChoiceCase{"NoGpuSurfaceShowsNothing", false, false, false},
                      ChoiceCase{"GpuSurfaceButNoDevice", true, true, false}),
    [](const ::testing::TestParamInfo<ChoiceCase>& param) {
        return std::string(param.param.name);
    });

// A CPU renderer the application chose itself shows its frames through the platform, which keeps
// it: nothing failed, so nothing is replaced.
TEST(RendererChoiceChosen, ACpuRendererChosenByTheApplicationShowsItsFramesThroughThePlatform) {
    CallLog log;
    auto software = std::make_unique<Renderer_Software>();
    Renderer* chosen = software.get();
    FillingApp app(std::make_unique<ShowingPlatform>(log, true, true), std::move(software));
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    ASSERT_EQ(app.StartManualRun(), Ok);
    app.RunFrameFor(1.0f / 60.0f);
    EXPECT_EQ(renderer.get(), chosen);
    EXPECT_EQ(log.Count("CreateGraphics"), 1);
    EXPECT_EQ(app.shower->shown, 1);
    EXPECT_EQ(app.shower->centre, Fill);
    EXPECT_EQ(app.EndManualRun(), Ok);
}

} // namespace
} // namespace dral::testing
