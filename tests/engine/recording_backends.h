// Test back-ends that record every call, in order, from whichever thread makes it, and can be
// told to fail chosen operations. The event loop blocks like a window system's until
// CleanUpThread ends it.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "engine/backend.h"
#include "engine/decal.h"

namespace dral::testing {

class CallLog {
  public:
    void Add(std::string call) {
        std::lock_guard lock(mutex);
        calls.push_back(std::move(call));
    }
    std::vector<std::string> Calls() const {
        std::lock_guard lock(mutex);
        return calls;
    }
    int Count(const std::string& call) const {
        std::lock_guard lock(mutex);
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }
    void Clear() {
        std::lock_guard lock(mutex);
        calls.clear();
    }

  private:
    mutable std::mutex mutex;
    std::vector<std::string> calls;
};

class RecordingRenderer : public Renderer {
  public:
    explicit RecordingRenderer(CallLog& l) : log(l) {}
    void PrepareDevice() override { log.Add("PrepareDevice"); }
    ResultCode CreateDevice(std::vector<void*>, bool, bool) override {
        log.Add("CreateDevice");
        return failCreateDevice ? Fail : Ok;
    }
    ResultCode DestroyDevice() override {
        log.Add("DestroyDevice");
        return Ok;
    }
    void PresentFrame() override { log.Add("PresentFrame"); }
    void BeginDrawing() override { log.Add("BeginDrawing"); }
    void DrawLayerQuad(const Vec2f&, const Vec2f&, Pixel) override { log.Add("DrawLayerQuad"); }
    void DrawDecalQuad(const DecalDraw&) override { log.Add("DrawDecalQuad"); }
    uint32_t CreateTexture(uint32_t, uint32_t) override {
        log.Add("CreateTexture");
        return ++lastTexture;
    }
    void UpdateTexture(uint32_t id, Sprite*) override {
        log.Add("UpdateTexture " + std::to_string(id));
    }
    uint32_t DeleteTexture(uint32_t id) override {
        log.Add("DeleteTexture");
        return id;
    }
    void BindTexture(uint32_t id) override { log.Add("BindTexture " + std::to_string(id)); }
    void SetViewport(const Vec2i& pos, const Vec2i& size) override {
        log.Add("SetViewport " + std::to_string(pos.x) + "," + std::to_string(pos.y) + " " +
                std::to_string(size.x) + "x" + std::to_string(size.y));
    }
    void ClearBuffer(Pixel, bool) override { log.Add("ClearBuffer"); }

    bool failCreateDevice = false;

  private:
    CallLog& log;
    uint32_t lastTexture = 0;
};

class RecordingPlatform : public Platform {
  public:
    explicit RecordingPlatform(CallLog& l) : log(l) {}
    ResultCode StartApplication() override {
        log.Add("StartApplication");
        return Ok;
    }
    ResultCode CleanUpApplication() override {
        log.Add("CleanUpApplication");
        return Ok;
    }
    ResultCode StartThread() override {
        log.Add("StartThread");
        return failStartThread ? Fail : Ok;
    }
    ResultCode CleanUpThread() override {
        log.Add("CleanUpThread");
        renderer->DestroyDevice();
        {
            std::lock_guard lock(mutex);
            quit = true;
        }
        quitSignal.notify_all();
        return Ok;
    }
    ResultCode CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                              const Vec2i& viewSize) override {
        log.Add("CreateGraphics");
        if (renderer->CreateDevice({nullptr}, fullScreen, vsync) != Ok) return Fail;
        renderer->SetViewport(viewPos, viewSize);
        return Ok;
    }
    ResultCode CreateAppWindow(const Vec2i&, Vec2i& size, bool fullScreen) override {
        log.Add("CreateAppWindow");
        if (fullScreen) size = displaySize;
        return createWindowResult;
    }
    ResultCode SetWindowTitle(const std::string& title) override {
        log.Add("SetWindowTitle " + title);
        return Ok;
    }
    ResultCode RunEventLoop() override {
        log.Add("RunEventLoop");
        std::unique_lock lock(mutex);
        quitSignal.wait(lock, [this] { return quit; });
        return Ok;
    }
    ResultCode HandleSystemEvent() override {
        log.Add("HandleSystemEvent");
        return Fail;
    }

    bool failStartThread = false;
    ResultCode createWindowResult = Ok;
    Vec2i displaySize{1920, 1080};

  private:
    CallLog& log;
    std::mutex mutex;
    std::condition_variable quitSignal;
    bool quit = false;
};

} // namespace dral::testing
