// Record and replay: a run with input arriving from another thread while frames run, stops and a
// refused stop, replayed frame for frame; damaged, cut-short and foreign files; the seed; a failing
// disk; and the size and allocation cost of recording.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "assets/scratch_dir.h"
#include "record/recorder.h"
#include "support/headless_engine.h"

namespace dral::testing {
namespace {

// Everything one frame of the application saw from the latched input, and the picture it drew
// from it.
struct Seen {
    float elapsed;
    uint8_t keys[KeyCount];
    uint8_t buttons[MouseButtonCount];
    int32_t mouseX, mouseY, wheel;
    uint8_t pads[PadCount][PadButtonCount + 1]; // the connection, then the buttons
    float axes[PadCount][PadAxisCount];
    char text[64];
    int random;
    uint64_t picture;
    // Read live, not latched: a change that arrives in the middle of a live frame shows there at
    // once, and in the replay from the next frame on. Compared only between frames.
    bool focused;
    Vec2i window, viewPos;

    bool SameLatchedInput(const Seen& o) const {
        return elapsed == o.elapsed && std::equal(keys, keys + KeyCount, o.keys) &&
               std::equal(buttons, buttons + MouseButtonCount, o.buttons) && mouseX == o.mouseX &&
               mouseY == o.mouseY && wheel == o.wheel && random == o.random &&
               picture == o.picture && std::memcmp(pads, o.pads, sizeof pads) == 0 &&
               std::memcmp(axes, o.axes, sizeof axes) == 0 && std::strcmp(text, o.text) == 0;
    }
};

uint64_t PictureOf(const Sprite& s) {
    uint64_t h = 1469598103934665603ull;
    for (int32_t i = 0; i < s.width * s.height; i++)
        h = (h ^ s.pixels[i].packed) * 1099511628211ull;
    return h;
}

// Draws and logs what it sees; asks to stop at frame 40, refuses the first stop, stops at 70.
class Echo : public Tesserine {
  public:
    bool OnCreate() override {
        firstRandom = std::rand();
        return true;
    }
    bool OnUpdate(float elapsed) override {
        Seen s{};
        s.elapsed = elapsed;
        auto pack = [](ButtonState b) {
            return static_cast<uint8_t>(b.pressed | b.released << 1 | b.held << 2);
        };
        for (int k = 0; k < KeyCount; k++) s.keys[k] = pack(KeyState(static_cast<Key>(k)));
        for (uint32_t b = 0; b < MouseButtonCount; b++) s.buttons[b] = pack(MouseButtonState(b));
        for (uint32_t p = 0; p < PadCount; p++) {
            s.pads[p][0] = pack(PadConnection(p));
            for (int b = 0; b < PadButtonCount; b++)
                s.pads[p][b + 1] = pack(PadButtonState(p, static_cast<PadButton>(b)));
            for (int a = 0; a < PadAxisCount; a++)
                s.axes[p][a] = PadAxisValue(p, static_cast<PadAxis>(a));
        }
        std::snprintf(s.text, sizeof s.text, "%s", TypedText().c_str());
        s.mouseX = MouseX();
        s.mouseY = MouseY();
        s.wheel = MouseWheel();
        s.focused = IsFocused();
        s.window = GetWindowSize();
        s.viewPos = GetViewPos();
        s.random = std::rand();
        Clear(Pixel(static_cast<uint8_t>(s.random), 0, 0, 255));
        FillRect(s.mouseX, s.mouseY, 3, 3, White);
        DrawString(0, 0, TypedText(), Green);
        Draw(static_cast<int32_t>(32.0f + 30.0f * s.axes[1][0]), 40, Yellow);
        s.picture = PictureOf(*GetDrawTarget());
        seen.push_back(s);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        return seen.size() != 40 && seen.size() < 70;
    }
    bool OnDestroy() override { return ++destroyCalls > 1; }

    std::vector<Seen> seen;
    int firstRandom = 0;
    int destroyCalls = 0;
};

// Replays path on a fresh 64 x 48 engine.
ResultCode ReplayFresh(const std::string& path) {
    HeadlessEngine<Echo> fresh(64, 48);
    return Recorder(fresh).Replay(path);
}

class Recording : public ScratchDir {
  protected:
    // A whole Run on the headless pair while another thread plays the window system.
    void RecordRun(const std::string& path) {
        HeadlessEngine<Echo> app(64, 48);
        Recorder recorder(app);
        app.UpdateKeyState(static_cast<int>(Key::Shift), true); // held before recording starts
        ASSERT_EQ(recorder.Record(path, 77), Ok);
        std::atomic<bool> done{false};
        std::thread events([&] {
            for (uint32_t i = 0; !done; i++) {
                app.UpdateKeyState(static_cast<int32_t>(i * 7 % 90), i % 3 != 0);
                app.UpdateMouseState(static_cast<int32_t>(i % 5), i % 2 == 0);
                app.UpdateMouse(static_cast<int32_t>(i * 13 % 70), static_cast<int32_t>(i % 50));
                if (i % 4 == 0) app.UpdateMouseWheel(static_cast<int32_t>(i % 7) - 3);
                if (i % 9 == 0) app.UpdateKeyFocus(i % 2 == 0);
                if (i % 25 == 0) app.UpdateWindowSize(64 + static_cast<int32_t>(i % 40), 48);
                if (i % 30 == 0)
                    app.UpdatePadConnection(static_cast<int32_t>(i / 30 % 2), i % 60 == 0);
                app.UpdatePadConnection(1, true);
                app.UpdatePadButton(1, static_cast<PadButton>(i % PadButtonCount), i % 4 < 2);
                app.UpdatePadAxis(1, static_cast<PadAxis>(i % PadAxisCount),
                                  static_cast<float>(i % 11) / 5.0f - 1.0f);
                if (i % 6 == 0) app.UpdateTypedText(i % 12 ? "ab" : "\xC3\xA9");
                std::this_thread::sleep_for(std::chrono::microseconds(150));
            }
        });
        EXPECT_EQ(app.Run(), Ok);
        done = true;
        events.join();
        EXPECT_FALSE(recorder.IsRecording()) << "the end of the run ends the recording";
        original = app.seen;
        originalRandom = app.firstRandom;
    }

    std::vector<Seen> original;
    int originalRandom = 0;
};

TEST_F(Recording, ReplayGivesTheSameFramesSeedAndStops) {
    RecordRun("run.rec");
    ASSERT_EQ(original.size(), 70u);

    HeadlessEngine<Echo> replay(64, 48);
    Recorder replayer(replay);
    std::vector<uint64_t> frames;
    ASSERT_EQ(replayer.Replay("run.rec", [&](uint64_t f) { frames.push_back(f); }), Ok)
        << replayer.Error();
    EXPECT_EQ(replayer.Seed(), 77u);
    EXPECT_EQ(replay.firstRandom, originalRandom);
    EXPECT_EQ(replay.destroyCalls, 2);
    ASSERT_EQ(replay.seen.size(), original.size());
    for (size_t i = 0; i < original.size(); i++) {
        EXPECT_TRUE(replay.seen[i].SameLatchedInput(original[i])) << "frame " << i;
        EXPECT_EQ(frames[i], i);
    }
    EXPECT_EQ(original[0].keys[static_cast<int>(Key::Shift)], 5) << "pressed and held";
    // A replay was the engine's run: a Run after it is refused and adds nothing.
    EXPECT_EQ(replay.Run(), Fail);
    EXPECT_EQ(replay.GetLayers().size(), 1u);
    EXPECT_EQ(replay.seen.size(), original.size());
    const auto typed = std::count_if(original.begin(), original.end(),
                                     [](const Seen& s) { return s.text[0] != 0; });
    const auto padMoved = std::count_if(original.begin(), original.end(),
                                        [](const Seen& s) { return s.axes[1][0] != 0.0f; });
    EXPECT_GT(typed, 0) << "the run typed text";
    EXPECT_GT(padMoved, 0) << "the run moved a stick";
}

// A version 1 recording, as engines before pads wrote it: W tapped across three frames, the mouse
// moved and the wheel turned. It still replays.
TEST_F(Recording, AVersionOneRecordingStillReplays) {
    const char v1[] =
        "\x54\x45\x53\x53\x52\x45\x43\x0A\x01\x00\x00\x00\x09\x00\x00\x00\x40\x00\x00\x00"
        "\x30\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00\x40\x00\x00\x00\x30\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x81\x0A\xD7\x23\x3C\x00\x17\x8C\x0A\xD7\xA3\x3C\x05\x00\x00\x00\x06\x00"
        "\x00\x00\x78\x00\x00\x00\x81\x0A\xD7\x23\x3C\x00\x17\x02\x03\x00\x00\x00\x00\x00"
        "\x00\x00\x1D\xBF\x27\xD6";
    WriteFile("v1.rec", std::string(v1, sizeof v1 - 1));
    HeadlessEngine<Echo> replay(64, 48);
    Recorder replayer(replay);
    ASSERT_EQ(replayer.Replay("v1.rec"), Ok) << replayer.Error();
    EXPECT_EQ(replayer.Seed(), 9u);
    ASSERT_EQ(replay.seen.size(), 3u);
    const int w = static_cast<int>(Key::W);
    EXPECT_EQ(replay.seen[0].keys[w], 5) << "pressed and held";
    EXPECT_EQ(replay.seen[1].keys[w], 4) << "held";
    EXPECT_EQ(replay.seen[1].mouseX, 5);
    EXPECT_EQ(replay.seen[1].mouseY, 6);
    EXPECT_EQ(replay.seen[1].wheel, 120);
    EXPECT_EQ(replay.seen[2].keys[w], 2) << "released";
    EXPECT_EQ(replay.seen[2].wheel, 0);
    EXPECT_FLOAT_EQ(replay.seen[1].elapsed, 0.02f);
    EXPECT_FALSE(replay.seen[2].pads[0][0]) << "no pads in version 1";
}

TEST_F(Recording, DamagedCutShortAndForeignFilesAreRefusedWithAMessage) {
    RecordRun("run.rec");
    const std::string bytes = ReadFile("run.rec");
    // Every cut is noticed: in the header, in every kind of record, and between records.
    for (size_t cut = 0; cut < bytes.size(); cut += cut < 100 || cut + 40 > bytes.size() ? 1 : 7) {
        WriteFile("cut.rec", bytes.substr(0, cut));
        RecordingReader reader;
        RecordingReader::Record r = RecordingReader::Record::Frame;
        if (reader.Open("cut.rec"))
            while (r != RecordingReader::Record::Error && r != RecordingReader::Record::End)
                r = reader.Next();
        ASSERT_FALSE(reader.Error().empty()) << "cut at " << cut;
        EXPECT_TRUE(reader.CutShort()) << reader.Error();
    }
    {
        WriteFile("cut.rec", bytes.substr(0, bytes.size() - 13));
        HeadlessEngine<Echo> replay(64, 48);
        Recorder replayer(replay);
        EXPECT_EQ(replayer.Replay("cut.rec"), Fail);
        EXPECT_EQ(replay.seen.size(), original.size()) << "a crash's recording still replays";
        EXPECT_NE(replayer.Error().find("end record"), std::string::npos) << replayer.Error();
    }
    // A changed byte in the frames, found by the checksum at the latest, runs nothing.
    std::string damaged = bytes;
    damaged[damaged.size() / 2] ^= 0x10;
    WriteFile("damaged.rec", damaged);
    HeadlessEngine<Echo> replay(64, 48);
    Recorder replayer(replay);
    EXPECT_EQ(replayer.Replay("damaged.rec"), Fail);
    EXPECT_FALSE(replayer.Error().empty());

    // An end count 2^32 frames too many matches the frames read only where a count is cut to
    // 32 bits, as a size_t is in the 32-bit build.
    std::string beyond = bytes;
    beyond[beyond.size() - 8] ^= 0x01; // the low byte of the count's upper half
    WriteFile("beyond.rec", beyond);
    HeadlessEngine<Echo> counted(64, 48);
    Recorder countedReplayer(counted);
    EXPECT_EQ(countedReplayer.Replay("beyond.rec"), Fail);
    EXPECT_NE(countedReplayer.Error().find("counts 4294967366 frames, not 70"), std::string::npos)
        << countedReplayer.Error();

    std::string version = bytes;
    version[8] = 3;
    WriteFile("version.rec", version);
    EXPECT_EQ(ReplayFresh("version.rec"), Fail);
    WriteFile("text.rec", std::string(100, 'x'));
    HeadlessEngine<Echo> text(64, 48);
    Recorder textReplayer(text);
    EXPECT_EQ(textReplayer.Replay("text.rec"), Fail);
    EXPECT_NE(textReplayer.Error().find("not a Tesserine recording"), std::string::npos);
    EXPECT_EQ(ReplayFresh("missing.rec"), NoFile);

    HeadlessEngine<Echo> other(80, 48);
    Recorder otherReplayer(other);
    EXPECT_EQ(otherReplayer.Replay("run.rec"), Fail);
    EXPECT_NE(otherReplayer.Error().find("64 x 48"), std::string::npos);
    EXPECT_TRUE(other.seen.empty());
}

// Window sizes no platform reports are refused where they are read, naming the frame, and the
// writer refuses to write them; 65535 a side is the largest a recording holds.
TEST_F(Recording, WindowSizesBeyond65535ASideAreRefused) {
    RecordingHeader header;
    // Version 1, whose header is 82 bytes with no pads, so the first frame starts at offset 82.
    header.version = 1;
    header.screenSize = {64, 48};
    header.pixelSize = {1, 1};
    header.start.windowSize = {64, 48};
    {
        RecordingWriter writer;
        ASSERT_TRUE(writer.Open("big.rec", header));
        RecordedInput input = header.start;
        input.windowSize = {65535, 65535};
        ASSERT_TRUE(writer.WriteFrame(0.01f, input)) << "the largest size is recordable";
        ASSERT_TRUE(writer.Finish());
    }
    const std::string bytes = ReadFile("big.rec");
    // The header's window (offset 32) and the first frame's new width (after its kind and time).
    auto patched = [&](size_t offset, uint32_t value) {
        std::string b = bytes;
        for (int i = 0; i < 4; i++) b[offset + i] = static_cast<char>(value >> 8 * i);
        return b;
    };
    const struct {
        size_t offset;
        uint32_t value;
        const char* message;
    } cases[] = {
        {32, 0x7FFFFFFF, "damaged header: a window of 2147483647 x 48, not 0 to 65535 a side"},
        {36, 65536, "damaged header: a window of 64 x 65536"},
        {36, 0xFFFFFFFF, "damaged header: a window of 64 x -1"},
        {82 + 5, 65536, "(after frame 0): frame 1 sets a window of 65536 x 65535, not 0 to 65535"},
        {82 + 9, 0x80000000, "frame 1 sets a window of 65535 x -2147483648"},
    };
    for (const auto& c : cases) {
        WriteFile("hostile.rec", patched(c.offset, c.value));
        HeadlessEngine<Echo> replay(64, 48);
        Recorder replayer(replay);
        EXPECT_EQ(replayer.Replay("hostile.rec"), Fail);
        EXPECT_NE(replayer.Error().find(c.message), std::string::npos) << replayer.Error();
        EXPECT_TRUE(replay.seen.empty()) << "a damaged recording runs nothing";
    }

    RecordingWriter writer;
    header.start.windowSize = {65536, 48};
    EXPECT_FALSE(writer.Open("refused.rec", header));
    EXPECT_NE(writer.Error().find("65536 x 48 cannot be recorded"), std::string::npos);
    // A platform reporting such a window ends the recording; the frames before it replay.
    HeadlessEngine<Echo> app(64, 48);
    Recorder recorder(app);
    app.Prepare();
    ASSERT_EQ(recorder.Record("ends.rec", 1), Ok);
    app.RunFrameFor(0.01f);
    app.UpdateWindowSize(64, 65536);
    app.RunFrameFor(0.01f);
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_NE(recorder.Error().find("frame 2's window of 64 x 65536"), std::string::npos)
        << recorder.Error();
    HeadlessEngine<Echo> replay(64, 48);
    Recorder replayer(replay);
    EXPECT_EQ(replayer.Replay("ends.rec"), Fail);
    EXPECT_EQ(replay.seen.size(), 1u);
}

// Once a stop is accepted the run is over: a second stop record is damage, and OnDestroy runs once.
TEST_F(Recording, AStopAfterAnAcceptedStopIsDamage) {
    RecordingHeader header;
    header.screenSize = {64, 48};
    header.pixelSize = {1, 1};
    header.start.windowSize = {64, 48};
    {
        RecordingWriter writer;
        ASSERT_TRUE(writer.Open("twice.rec", header));
        ASSERT_TRUE(writer.WriteFrame(0.01f, header.start));
        ASSERT_TRUE(writer.WriteStop());
        ASSERT_TRUE(writer.WriteStop());
        ASSERT_TRUE(writer.Finish());
    }
    struct Accepts : Echo {
        bool OnDestroy() override { return ++destroyCalls > 0; }
    };
    HeadlessEngine<Accepts> replay(64, 48);
    Recorder replayer(replay);
    EXPECT_EQ(replayer.Replay("twice.rec"), Fail);
    EXPECT_EQ(replay.destroyCalls, 1);
    EXPECT_NE(replayer.Error().find("a stop record after frame 1, where the run had"),
              std::string::npos)
        << replayer.Error();
}

// A game that does not replay the same (here it stops earlier) is told, not silently run on.
TEST_F(Recording, AGameThatStrays) {
    RecordRun("run.rec");
    struct Short : Echo {
        bool OnUpdate(float e) override { return Echo::OnUpdate(e) && seen.size() < 20; }
    };
    HeadlessEngine<Short> replay(64, 48);
    Recorder replayer(replay);
    EXPECT_EQ(replayer.Replay("run.rec"), Fail);
    EXPECT_NE(replayer.Error().find("does not replay the same"), std::string::npos);
}

// Keys held when the recording starts were latched before it: the replay shows them held, not
// freshly pressed.
TEST_F(Recording, StartedWhileAKeyIsHeld) {
    {
        HeadlessEngine<Echo> app(64, 48);
        Recorder recorder(app);
        app.Prepare();
        app.UpdateKeyState(static_cast<int>(Key::Shift), true);
        app.RunFrameFor(0.01f);
        ASSERT_EQ(recorder.Record("late.rec", 5), Ok);
        for (int i = 0; i < 3; i++) app.RunFrameFor(0.01f);
        original.assign(app.seen.begin() + 1, app.seen.end());
    }
    HeadlessEngine<Echo> replay(64, 48);
    Recorder replayer(replay);
    ASSERT_EQ(replayer.Replay("late.rec"), Ok) << replayer.Error();
    ASSERT_EQ(replay.seen.size(), 3u);
    EXPECT_EQ(replay.seen[0].keys[static_cast<int>(Key::Shift)], 4) << "held, not pressed";
    for (size_t i = 0; i < 3; i++)
        EXPECT_EQ(replay.seen[i].keys[static_cast<int>(Key::Shift)],
                  original[i].keys[static_cast<int>(Key::Shift)]);
}

TEST_F(Recording, SteadyFramesCostFiveBytesAndAFailingDiskEndsTheRecording) {
    HeadlessEngine<Echo> app(64, 48);
    Recorder recorder(app);
    app.Prepare();
    ASSERT_EQ(recorder.Record("steady.rec", 1), Ok);
    EXPECT_EQ(recorder.Record("again.rec", 1), Fail);
    for (int i = 0; i < 10; i++) app.RunFrameFor(0.01f);
    const auto before = std::filesystem::file_size("steady.rec");
    for (int i = 0; i < 10; i++) app.RunFrameFor(0.01f);
    EXPECT_EQ(std::filesystem::file_size("steady.rec") - before, 50u);
    EXPECT_EQ(recorder.Stop(), Ok);
    EXPECT_EQ(recorder.Stop(), Ok);

    EXPECT_EQ(recorder.Record("no/such/folder/run.rec", 1), Fail);
    EXPECT_NE(recorder.Error().find("no/such/folder/run.rec"), std::string::npos);
    if (std::filesystem::exists("/dev/full")) {
        ASSERT_EQ(recorder.Record("/dev/full", 1), Fail) << "the header cannot be written";
    }
}

} // namespace
} // namespace dral::testing
