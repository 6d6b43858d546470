// Test support: an engine on the headless back-end pair, prepared on the calling thread so that
// tests can draw, compose and drive frames with fixed times without a window.
#pragma once

#include <memory>

#include "engine/tesserine.h"
#include "platform/headless/platform_headless.h"
#include "renderer/headless/renderer_headless.h"

namespace dral::testing {

template <class App = Tesserine> class HeadlessEngine : public App {
  public:
    explicit HeadlessEngine(int32_t width = 64, int32_t height = 48) {
        auto p = std::make_unique<Platform_Headless>();
        auto r = std::make_unique<Renderer_Headless>();
        headlessPlatform = p.get();
        headlessRenderer = r.get();
        this->UseBackends(std::move(p), std::move(r));
        this->Setup(width, height, 1, 1, false, false);
    }
    // Creates the device, font and base layer on this thread, as the engine thread would.
    HeadlessEngine& Prepare() {
        this->UpdateWindowSize(this->ScreenWidth(), this->ScreenHeight());
        this->PrepareEngine();
        return *this;
    }

    Platform_Headless* headlessPlatform = nullptr;
    Renderer_Headless* headlessRenderer = nullptr;
};

} // namespace dral::testing
