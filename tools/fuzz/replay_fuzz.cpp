// Fuzzes Replay: each input is replayed as a recording on the headless pair and on the software
// renderer, by a game that draws from its input. A replay either succeeds or fails saying why,
// never calls OnDestroy after an accepted stop, and, once it has prepared the engine, leaves one
// that refuses a later Run.
#include "engine/tesserine.h"
#include "fuzz_support.h"
#include "platform/headless/platform_headless.h"
#include "record/recorder.h"
#include "renderer/headless/renderer_headless.h"
#include "renderer/software/renderer_software.h"

using namespace dral;

namespace {

// Draws where the mouse is, with the keys and wheel deciding what; refuses every third stop.
class Scribbler : public Tesserine {
  public:
    bool OnCreate() override { return created = true; }
    bool OnUpdate(float elapsed) override {
        Clear(Pixel(uint8_t(frames), 0, 0, 255));
        const int32_t x = MouseX(), y = MouseY();
        FillCircle(x, y, MouseWheel() % 64, Red);
        DrawLine(0, 0, x, y, Green, uint32_t(frames) * 2654435761u);
        if (KeyState(Key::Space).held) DrawString(x, y, "Tesserine", White, 3);
        if (MouseButtonState(0).pressed) FillTriangle(x, 0, 0, y, x, y, Blue);
        DrawDecal({float(x), float(y)}, fontDecal.get(), {elapsed, 1.0f});
        ++frames;
        return true;
    }
    bool OnDestroy() override {
        fuzz::Check(!accepted, "OnDestroy after an accepted stop");
        accepted = ++stops % 3 != 0;
        return accepted;
    }
    int frames = 0, stops = 0;
    bool created = false, accepted = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchFile("replay");
    fuzz::WriteFile(path, data, size);
    RecordingHeader header;
    {
        RecordingReader reader;
        if (!reader.Open(path)) return 0;
        header = reader.Header();
    }
    // Screens beyond 256 x 256 cost layer images without reaching other code: the reader's
    // fuzzer covers their headers.
    if (int64_t(header.screenSize.x) * header.screenSize.y > 256 * 256) return 0;
    for (const bool software : {false, true}) {
        Scribbler game;
        std::unique_ptr<Renderer> drawing;
        if (software) {
            auto frames = std::make_unique<Renderer_Software>();
            // The fuzzer caps single allocations: frames stay small, larger ones are skipped.
            frames->SetFrameLimit(256 * 256);
            drawing = std::move(frames);
        } else {
            drawing = std::make_unique<Renderer_Headless>();
        }
        game.UseBackends(std::make_unique<Platform_Headless>(), std::move(drawing));
        if (game.Setup(header.screenSize.x, header.screenSize.y, header.pixelSize.x,
                       header.pixelSize.y) != Ok)
            return 0;
        Recorder recorder(game);
        const ResultCode result = recorder.Replay(path);
        fuzz::Check(result == Ok || !recorder.Error().empty(), "a failed replay says why");
        // A replay that prepared the engine was its run; a refused file leaves it unrun.
        if (game.created) fuzz::Check(game.Run() == Fail, "a replay is the engine's one run");
    }
    return 0;
}
