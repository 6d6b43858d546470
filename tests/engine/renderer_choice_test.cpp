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
    bool cpuRenderer;    // the application chose a CPU renderer; else a GPU one whose device fails
    bool gpuSurface;     // what the platform says after a failed device
    bool showsCpuFrames; // whether it can show frames composed on the CPU
    bool runs;           // whether the run starts (a fallback needs the set to have one)
    int graphicsCalls;   // CreateGraphics calls: a second one is the fallback's
};

class RendererChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(RendererChoice, TheFallbackTakesOverOnlyWithoutAGpuSurfaceOnAPlatformThatShowsFrames) {
    ChoiceCase c = GetParam();
    CallLog log;
    std::unique_ptr<Renderer> chosen;
    if (c.cpuRenderer) {
        chosen = std::make_unique<Renderer_Software>();
    } else {
        auto gpu = std::make_unique<RecordingRenderer>(log);
        gpu->failCreateDevice = true;
        chosen = std::move(gpu);
        // A set without a fallback (the headless one) has nothing to turn to.
        if (c.graphicsCalls == 2 && !CreateFallbackRenderer()) {
            c.runs = false;
            c.graphicsCalls = 1;
        }
    }
    Renderer* const first = chosen.get();
    FillingApp app(std::make_unique<ShowingPlatform>(log, c.gpuSurface, c.showsCpuFrames),
                   std::move(chosen));
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    ASSERT_EQ(app.StartManualRun(), c.runs ? Ok : Fail);
    EXPECT_EQ(log.Count("CreateGraphics"), c.graphicsCalls);
    if (!c.runs) {
        EXPECT_EQ(app.shower->shown, 0);
        EXPECT_EQ(log.Count("CleanUpThread"), 1);
        return;
    }
    EXPECT_EQ(renderer.get() == first, c.cpuRenderer) << "only a failed renderer is replaced";
    ASSERT_NE(dynamic_cast<Renderer_Software*>(renderer.get()), nullptr);
    for (int frame = 0; frame < 3; ++frame) app.RunFrameFor(1.0f / 60.0f);
    EXPECT_EQ(app.shower->shown, 3);
    EXPECT_EQ(app.shower->shownSize, Vec2i(64, 48));
    EXPECT_EQ(app.shower->centre, Fill);
    EXPECT_EQ(app.EndManualRun(), Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RendererChoice,
    ::testing::Values(ChoiceCase{"NoGpuSurfaceShowsCpuFrames", false, false, true, true, 2},
                      ChoiceCase{"NoGpuSurfaceShowsNothing", false, false, false, false, 1},
                      ChoiceCase{"GpuSurfaceButNoDevice", false, true, true, false, 1},
                      ChoiceCase{"CpuRendererChosen", true, true, true, true, 1}),
    [](const ::testing::TestParamInfo<ChoiceCase>& param) {
        return std::string(param.param.name);
    });

} // namespace
} // namespace dral::testing
