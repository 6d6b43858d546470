// The engine's lifecycle on recording back-ends: which overridables run, how often, and the order
// of back-end calls across the main and engine threads, including the failure paths.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "engine/tesserine.h"
#include "recording_backends.h"

namespace dral::testing {
namespace {

class ScriptedApp : public Tesserine {
  public:
    explicit ScriptedApp(CallLog& log) {
        appName = "Scripted";
        auto p = std::make_unique<RecordingPlatform>(log);
        auto r = std::make_unique<RecordingRenderer>(log);
        recordingPlatform = p.get();
        recordingRenderer = r.get();
        UseBackends(std::move(p), std::move(r));
    }

    bool OnCreate() override {
        creates++;
        return createResult;
    }
    bool OnUpdate(float) override {
        const int frame = ++updates;
        return stopAfterFrames == 0 || frame < stopAfterFrames;
    }
    bool OnDestroy() override { return ++destroys > refuseDestroys; }

    bool createResult = true;
    int stopAfterFrames = 0; // 0: run until stopped from outside
    int refuseDestroys = 0;
    std::atomic<int> creates{0}, updates{0}, destroys{0};
    RecordingPlatform* recordingPlatform;
    RecordingRenderer* recordingRenderer;
};

std::vector<std::string> Filter(const std::vector<std::string>& calls, const char* prefix) {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
}

// Writes what a frame observer is told, and the overridables it is told about, into the log.
class ObservedApp : public ScriptedApp, FrameObserver {
  public:
    explicit ObservedApp(CallLog& l) : ScriptedApp(l), log(l) { SetFrameObserver(this); }
    bool OnUpdate(float elapsed) override {
        log.Add("OnUpdate");
        return ScriptedApp::OnUpdate(elapsed);
    }
    bool OnDestroy() override {
        log.Add("OnDestroy");
        return ScriptedApp::OnDestroy();
    }
    void FrameLatched(float) override { log.Add("FrameLatched"); }
    void FramesStopping() override { log.Add("FramesStopping"); }
    void RunEnding() override { log.Add("RunEnding"); }

  private:
    CallLog& log;
};

// The observer sees each frame's latch before OnUpdate, each stop before OnDestroy, and the run's
// end before the thread's clean-up, whether Run or a hand-driven run makes the frames; an aborted
// hand-driven run ends without OnDestroy.
TEST(Lifecycle, TheFrameObserverFollowsEveryKindOfRun) {
    const struct {
        const char* name;
        bool createResult;
        std::function<void(ObservedApp&)> drive;
        std::vector<std::string> told;
    } cases[] = {
        {"Run, with a refused stop",
         true,
         [](ObservedApp& app) { EXPECT_EQ(app.Run(), Ok); },
         {"FrameLatched", "OnUpdate", "FrameLatched", "OnUpdate", "FramesStopping", "OnDestroy",
          "FrameLatched", "OnUpdate", "FramesStopping", "OnDestroy", "RunEnding", "CleanUpThread"}},
        {"Run, OnCreate refusing",
         false,
         [](ObservedApp& app) { EXPECT_EQ(app.Run(), Ok); },
         {"RunEnding", "CleanUpThread"}},
        {"hand-driven, ended",
         true,
         [](ObservedApp& app) {
             ASSERT_EQ(app.StartManualRun(), Ok);
             app.RunFrameFor(0.25f);
             EXPECT_EQ(app.EndManualRun(), Fail);
             EXPECT_EQ(app.EndManualRun(), Ok);
         },
         {"FrameLatched", "OnUpdate", "FramesStopping", "OnDestroy", "FramesStopping", "OnDestroy",
          "RunEnding", "CleanUpThread"}},
        {"hand-driven, aborted",
         true,
         [](ObservedApp& app) {
             EXPECT_EQ(app.AbortManualRun(), Fail) << "no run to abort";
             ASSERT_EQ(app.StartManualRun(), Ok);
             app.RunFrameFor(0.25f);
             EXPECT_EQ(app.AbortManualRun(), Ok);
             EXPECT_EQ(app.AbortManualRun(), Fail);
             EXPECT_FALSE(running);
         },
         {"FrameLatched", "OnUpdate", "RunEnding", "CleanUpThread"}},
    };
    for (const auto& c : cases) {
        CallLog log;
        std::vector<std::string> told;
        {
            ObservedApp app(log);
            app.createResult = c.createResult;
            app.stopAfterFrames = 2;
            app.refuseDestroys = 1;
            ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
            c.drive(app);
            for (const auto& call : log.Calls())
                if (call.rfind("On", 0) == 0 || call.rfind("Frame", 0) == 0 ||
                    call == "RunEnding" || call == "CleanUpThread")
                    told.push_back(call);
        }
        EXPECT_EQ(told, c.told) << c.name;
    }
}

TEST(Lifecycle, OnCreateFalseRunsNoFrameButStillCleansUp) {
    CallLog log;
    ScriptedApp app(log);
    app.createResult = false;
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    EXPECT_EQ(app.Run(), Ok);
    EXPECT_EQ(app.creates, 1);
    EXPECT_EQ(app.updates, 0);
    EXPECT_EQ(app.destroys, 0);
    EXPECT_EQ(log.Count("CleanUpThread"), 1);
    EXPECT_EQ(log.Count("PresentFrame"), 0);
    EXPECT_EQ(log.Count("CleanUpApplication"), 1);
}

TEST(Lifecycle, OnUpdateFalseStillComposesThatFrameThenDestroysOnce) {
    CallLog log;
    ScriptedApp app(log);
    app.stopAfterFrames = 3;
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    EXPECT_EQ(app.Run(), Ok);
    EXPECT_EQ(app.updates, 3);
    EXPECT_EQ(log.Count("PresentFrame"), 3);
    EXPECT_EQ(app.destroys, 1);
    EXPECT_EQ(log.Count("DestroyDevice"), 1);
}

TEST(Lifecycle, OnDestroyFalseResumesFramesAndALaterStopAsksAgain) {
    CallLog log;
    ScriptedApp app(log);
    app.refuseDestroys = 1;
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    std::thread closer([&] {
        // Two close requests, each after frames have been produced.
        for (int request = 0; request < 2; request++) {
            const int seen = app.updates;
            while (app.updates < seen + 5) std::this_thread::yield();
            app.RequestStop();
            while (app.destroys <= request) std::this_thread::yield();
        }
    });
    EXPECT_EQ(app.Run(), Ok);
    closer.join();
    EXPECT_EQ(app.destroys, 2);
    EXPECT_EQ(log.Count("DestroyDevice"), 1);
    EXPECT_EQ(log.Count("CleanUpApplication"), 1);
}

TEST(Lifecycle, BackEndCallsComeInTheDesignedOrder) {
    CallLog log;
    ScriptedApp app(log);
    app.stopAfterFrames = 1;
    ASSERT_EQ(app.Setup(64, 48, 2, 2), Ok);
    ASSERT_EQ(app.Run(), Ok);
    const std::vector<std::string> expected = {
        "StartApplication", "CreateAppWindow", "RunEventLoop", "StartThread", "CreateGraphics",
        "CreateDevice", "SetViewport 0,0 128x96",
        // The font sheet's decal, then the base layer.
        "CreateTexture", "BindTexture 1", "UpdateTexture 1", "CreateTexture", "UpdateTexture 2",
        // One frame.
        "HandleSystemEvent", "ClearBuffer", "SetViewport 0,0 128x96", "ClearBuffer", "BeginDrawing",
        "BindTexture 2", "UpdateTexture 2", "DrawLayerQuad", "PresentFrame",
        "SetWindowTitle https://tesserine.dev - Tesserine - Scripted - FPS: 1",
        // Shut-down.
        "CleanUpThread", "DestroyDevice", "CleanUpApplication"};
    auto calls = log.Calls();
    // RunEventLoop is logged by the main thread while the engine thread starts: its place among
    // the engine thread's first calls is not fixed.
    auto loop = std::find(calls.begin(), calls.end(), "RunEventLoop");
    ASSERT_NE(loop, calls.end());
    calls.erase(loop);
    auto want = expected;
    want.erase(want.begin() + 2);
    EXPECT_EQ(calls, want);
}

TEST(Lifecycle, CloseRequestFromAnotherThreadEndsTheRunOnce) {
    CallLog log;
    ScriptedApp app(log);
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    std::thread closer([&] {
        while (app.updates < 10) std::this_thread::yield();
        app.RequestStop();
    });
    EXPECT_EQ(app.Run(), Ok);
    closer.join();
    EXPECT_EQ(app.destroys, 1);
    EXPECT_EQ(log.Count("DestroyDevice"), 1);
    EXPECT_EQ(log.Count("CleanUpApplication"), 1);
}

TEST(Lifecycle, FailingCreateGraphicsStopsWithoutFramesOrHanging) {
    CallLog log;
    ScriptedApp app(log);
    app.recordingRenderer->failCreateDevice = true;
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    EXPECT_EQ(app.Run(), Ok);
    EXPECT_EQ(app.creates, 0);
    EXPECT_EQ(app.updates, 0);
    EXPECT_EQ(log.Count("CreateTexture"), 0);
    EXPECT_EQ(log.Count("SetViewport 0,0 64x48"), 0);
    EXPECT_EQ(log.Count("CleanUpThread"), 1);
    EXPECT_FALSE(running);
}

TEST(Lifecycle, FailingStartThreadStillEndsTheEventLoop) {
    CallLog log;
    ScriptedApp app(log);
    app.recordingPlatform->failStartThread = true;
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    EXPECT_EQ(app.Run(), Ok);
    EXPECT_EQ(app.creates, 0);
    EXPECT_EQ(log.Count("CreateGraphics"), 0);
    EXPECT_EQ(log.Count("CleanUpApplication"), 1);
}

TEST(Lifecycle, FullScreenViewportFollowsTheSizeThePlatformReports) {
    CallLog log;
    ScriptedApp app(log);
    app.stopAfterFrames = 1;
    ASSERT_EQ(app.Setup(800, 600, 1, 1, true, false), Ok);
    ASSERT_EQ(app.Run(), Ok);
    EXPECT_EQ(app.GetWindowSize(), Vec2i(1920, 1080));
    EXPECT_EQ(Filter(log.Calls(), "SetViewport").front(), "SetViewport 240,0 1440x1080");
}

TEST(Setup, RejectsNonPositiveSizesButKeepsTheValues) {
    CallLog log;
    ScriptedApp app(log);
    EXPECT_EQ(app.Setup(0, 600, 1, 1), Fail);
    EXPECT_EQ(app.ScreenWidth(), 0);
    EXPECT_EQ(app.ScreenHeight(), 600);
    EXPECT_EQ(app.Setup(800, 600, 1, -1), Fail);
    EXPECT_EQ(app.Setup(800, 600, 3, 2), Ok);
    EXPECT_EQ(app.GetWindowSize(), Vec2i(2400, 1200));
}

TEST(Setup, RejectsAWindowBeyondInt32Pixels) {
    CallLog log;
    ScriptedApp app(log);
    EXPECT_EQ(app.Setup(50000, 600, 50000, 1), Fail);
    EXPECT_EQ(app.Setup(600, 50000, 1, 50000), Fail);
    // The largest window that fits is still fine.
    EXPECT_EQ(app.Setup(46340, 1, 46341, 1), Ok);
    EXPECT_EQ(app.GetWindowSize(), Vec2i(2147441940, 1));
    EXPECT_EQ(app.Setup(1, 1 << 30, 1, 1), Ok);
}

TEST(Lifecycle, ASecondRunFailsWithoutTouchingTheBackEnds) {
    CallLog log;
    ScriptedApp app(log);
    app.stopAfterFrames = 1;
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    ASSERT_EQ(app.Run(), Ok);
    Sprite* base = app.GetLayers()[0].sprite;
    const size_t calls = log.Calls().size();
    EXPECT_EQ(app.Run(), Fail);
    EXPECT_EQ(log.Calls().size(), calls);
    EXPECT_EQ(app.GetLayers().size(), 1u);
    EXPECT_EQ(app.GetLayers()[0].sprite, base);
    EXPECT_EQ(app.creates, 1);
}

TEST(Lifecycle, ARunWhoseWindowFailedMayBeTriedAgain) {
    CallLog log;
    ScriptedApp app(log);
    app.stopAfterFrames = 1;
    ASSERT_EQ(app.Setup(64, 48, 1, 1), Ok);
    app.recordingPlatform->createWindowResult = Fail;
    EXPECT_EQ(app.Run(), Fail);
    app.recordingPlatform->createWindowResult = Ok;
    EXPECT_EQ(app.Run(), Ok);
    EXPECT_EQ(app.updates, 1);
}

// A hand-driven run makes the same back-end calls as Run, less the event loop, on one thread;
// a refused end keeps it going, and the run counts as the engine's one run.
TEST(Lifecycle, AHandDrivenRunStartsAndEndsAsRunDoes) {
    CallLog log;
    ScriptedApp app(log);
    app.refuseDestroys = 1;
    ASSERT_EQ(app.Setup(64, 48, 2, 2), Ok);
    EXPECT_EQ(app.EndManualRun(), Fail) << "no run to end";
    ASSERT_EQ(app.StartManualRun(), Ok);
    EXPECT_EQ(app.creates, 1);
    EXPECT_EQ(app.GetViewSize(), Vec2i(128, 96));
    app.RunFrameFor(0.5f);
    EXPECT_EQ(app.EndManualRun(), Fail) << "OnDestroy refused";
    EXPECT_TRUE(running);
    app.RunFrameFor(0.5f);
    EXPECT_EQ(app.EndManualRun(), Ok);
    EXPECT_EQ(app.EndManualRun(), Fail);
    EXPECT_EQ(app.updates, 2);
    EXPECT_EQ(app.destroys, 2);
    const std::vector<std::string> start = {"StartApplication", "CreateAppWindow",
                                            "StartThread",      "CreateGraphics",
                                            "CreateDevice",     "SetViewport 0,0 128x96"};
    const auto calls = log.Calls();
    ASSERT_GE(calls.size(), start.size() + 3);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 6), start);
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"CleanUpThread", "DestroyDevice", "CleanUpApplication"}));
    EXPECT_EQ(log.Count("RunEventLoop"), 0);
    EXPECT_EQ(log.Count("PresentFrame"), 2);
    EXPECT_EQ(app.Run(), Fail);
    EXPECT_EQ(app.StartManualRun(), Fail);
}

// OnCreate refusing ends a hand-driven run at once, cleaned up, without OnDestroy. A test of its
// own: the back-ends are process-wide, so a second app in one test would leave the first one's
// destructor talking to the second one's log.
TEST(Lifecycle, AHandDrivenRunWhoseOnCreateRefusesIsCleanedUp) {
    CallLog refusedLog;
    ScriptedApp refused(refusedLog);
    refused.createResult = false;
    ASSERT_EQ(refused.Setup(64, 48, 1, 1), Ok);
    EXPECT_EQ(refused.StartManualRun(), Fail);
    EXPECT_EQ(refused.EndManualRun(), Fail);
    EXPECT_EQ(refused.destroys, 0);
    EXPECT_EQ(refusedLog.Count("CleanUpThread"), 1);
    EXPECT_EQ(refusedLog.Count("CleanUpApplication"), 1);
}

} // namespace
} // namespace dral::testing
