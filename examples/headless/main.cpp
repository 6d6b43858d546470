// An application that runs its whole lifecycle on the headless back-ends, without a display:
// OnCreate, sixty frames that draw into the base layer, OnDestroy, shut-down.
#include <cstdio>

#include "engine/tesserine.h"
#include "platform/headless/platform_headless.h"
#include "renderer/headless/renderer_headless.h"

class Counter : public dral::Tesserine {
  public:
    Counter() { appName = "Counter"; }

    bool OnCreate() override { return true; }

    bool OnUpdate(float) override {
        Clear(dral::Black);
        FillRect(frames % ScreenWidth(), 10, 8, 8, dral::Yellow);
        return ++frames < 60;
    }

    bool OnDestroy() override {
        std::printf("%s ran %d frames\n", appName.c_str(), frames);
        return true;
    }

  private:
    int frames = 0;
};

int main() {
    Counter app;
    app.UseBackends(std::make_unique<dral::Platform_Headless>(),
                    std::make_unique<dral::Renderer_Headless>());
    if (app.Setup(160, 120, 4, 4) == dral::Ok) app.Run();
    return 0;
}
