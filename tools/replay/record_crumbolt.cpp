// record-crumbolt: plays Crumbolt exactly as the game does (full screen, music, same keys) while
// recording the run for replay-crumbolt. The seed of the boxes is the clock's unless given.
//
//   record-crumbolt RECORDING [--seed N] [--digests FILE]
//
// --digests writes each frame's digest, as replay-crumbolt does, to compare the two runs.
// At the end it prints the number of frames, the seed and the score.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "frame_digest.h"
#include "game/crumbolt.h"
#include "record/recorder.h"

namespace {

class DigestedCrumbolt : public crumbolt::Crumbolt {
  public:
    explicit DigestedCrumbolt(const std::string& digestPath) : digests(digestPath) {}

    bool OnUpdate(float elapsedSeconds) override {
        const bool goOn = Crumbolt::OnUpdate(elapsedSeconds);
        digests.Write(frames++, *GetDrawTarget());
        return goOn;
    }

    crumbolt::DigestLog digests;
    uint64_t frames = 0;
};

int Usage() {
    std::fprintf(stderr, "usage: record-crumbolt RECORDING [--seed N] [--digests FILE]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) return Usage();
    uint32_t seed = static_cast<uint32_t>(std::time(nullptr));
    std::string digestPath;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--seed")
            seed = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (option == "--digests")
            digestPath = argv[i + 1];
        else
            return Usage();
    }
    DigestedCrumbolt game(digestPath);
    if (!game.digests.Ok()) {
        std::fprintf(stderr, "record-crumbolt: cannot write %s\n", digestPath.c_str());
        return 1;
    }
    if (game.Setup(800, 600, 1, 1, true, false) != dral::Ok) return 1;
    dral::Recorder recorder(game);
    if (recorder.Record(argv[1], seed) != dral::Ok) {
        std::fprintf(stderr, "record-crumbolt: %s\n", recorder.Error().c_str());
        return 1;
    }
    const dral::ResultCode ran = game.Run();
    if (!game.digests.Close()) {
        std::fprintf(stderr, "record-crumbolt: cannot write %s\n", digestPath.c_str());
        return 1;
    }
    if (!recorder.Error().empty()) {
        std::fprintf(stderr, "record-crumbolt: %s\n", recorder.Error().c_str());
        return 1;
    }
    std::printf("frames %llu seed %u score %d player %g %g\n",
                static_cast<unsigned long long>(game.frames), seed, crumbolt::state.tickCount,
                static_cast<double>(crumbolt::state.playerX),
                static_cast<double>(crumbolt::state.playerY));
    return ran == dral::Ok ? 0 : 1;
}
