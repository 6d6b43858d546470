// Crumbolt's own frames, full screen through the SDL platform, on either renderer: OpenGL (Mesa's
// llvmpipe under Xvfb) or the software renderer, whose frames the platform shows in the window.
// Without vertical sync; prints the frame rate.   crumbolt_frames gl|software [FRAMES]
#include <cstdlib>
#include <cstring>

#include "bench/frames/picture.h"
#include "game/crumbolt.h"
#include "game/media_command.h"
#include "platform/sdl/platform_sdl.h"
#include "renderer/opengl10/renderer_ogl10.h"
#include "renderer/software/renderer_software.h"

namespace {

class Timed : public crumbolt::Crumbolt {
  public:
    explicit Timed(int frames) : clock(frames) {}
    bool OnUpdate(float elapsed) override { return Crumbolt::OnUpdate(elapsed) && clock.Tick(); }

  private:
    dral::bench::FrameClock clock;
};

} // namespace

int main(int argc, char** argv) {
    const bool software = argc > 1 && std::strcmp(argv[1], "software") == 0;
    crumbolt::SetMediaCommandSink([](const char*) {});
    Timed game(argc > 2 ? std::max(1, std::atoi(argv[2])) : 600);
    std::unique_ptr<dral::Renderer> renderer;
    if (software)
        renderer = std::make_unique<dral::Renderer_Software>();
    else
        renderer = std::make_unique<dral::Renderer_OGL10>();
    game.UseBackends(std::make_unique<dral::Platform_SDL>(), std::move(renderer));
    if (game.Setup(crumbolt::GameScreenWidth, crumbolt::GameScreenHeight, 1, 1, true, false) !=
        dral::Ok)
        return 1;
    return game.Run() == dral::Ok ? 0 : 1;
}
