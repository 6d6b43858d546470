// replay-crumbolt: replays a recording of Crumbolt headless and writes one digest line per frame
// (see frame_digest.h), to standard output or a file. The music stays silent. At the end it prints
// the number of frames and the score to standard error; a damaged, cut-short or strayed recording
// is reported there and gives exit status 1, a missing one 2.
//
//   replay-crumbolt RECORDING [--digests FILE]
#include <cstdio>
#include <memory>
#include <string>

#include "frame_digest.h"
#include "game/crumbolt.h"
#include "game/media_command.h"
#include "platform/headless/platform_headless.h"
#include "renderer/headless/renderer_headless.h"

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--digests")) {
        std::fprintf(stderr, "usage: replay-crumbolt RECORDING [--digests FILE]\n");
        return 2;
    }
    crumbolt::DigestLog digests(argc == 4 ? argv[3] : "-");
    if (!digests.Ok()) {
        std::fprintf(stderr, "replay-crumbolt: cannot write %s\n", argv[3]);
        return 1;
    }
    crumbolt::SetMediaCommandSink([](const char*) {});
    crumbolt::Crumbolt game;
    game.UseBackends(std::make_unique<dral::Platform_Headless>(),
                     std::make_unique<dral::Renderer_Headless>());
    game.Setup(800, 600, 1, 1, true, false);
    uint64_t frames = 0;
    const dral::ResultCode result = game.Replay(argv[1], [&](uint64_t frame) {
        digests.Write(frame, *game.GetDrawTarget());
        frames = frame + 1;
    });
    if (result != dral::Ok)
        std::fprintf(stderr, "replay-crumbolt: %s\n", game.RecordingError().c_str());
    std::fprintf(stderr, "frames %llu seed %u score %d player %g %g\n",
                 static_cast<unsigned long long>(frames), game.RecordingSeed(),
                 crumbolt::state.tickCount, static_cast<double>(crumbolt::state.playerX),
                 static_cast<double>(crumbolt::state.playerY));
    return result == dral::Ok ? 0 : result == dral::NoFile ? 2 : 1;
}
