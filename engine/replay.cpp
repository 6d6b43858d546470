// Record and replay: the engine writes what its latch saw and the time each frame was given, and
// plays a recording back by handing the same input and times to the same frame sequence.
#include <algorithm>
#include <cstdlib>

#include "engine/tesserine.h"

namespace dral {

namespace {

std::string SizeText(const Vec2i& v) {
    return std::to_string(v.x) + " x " + std::to_string(v.y);
}

enum class Soundness { Sound, CutShort, Damaged };

// Reads the whole file once to tell a damaged recording, which must not run at all, from a sound
// one or one that is merely cut short. Memory stays constant however long the run was.
Soundness CheckRecording(const std::string& path, std::string& error) {
    RecordingReader reader;
    if (!reader.Open(path)) {
        error = reader.Error();
        return Soundness::Damaged;
    }
    for (;;) {
        const RecordingReader::Record record = reader.Next();
        if (record == RecordingReader::Record::End) return Soundness::Sound;
        if (record == RecordingReader::Record::Error) {
            error = reader.Error();
            return reader.CutShort() ? Soundness::CutShort : Soundness::Damaged;
        }
    }
}

} // namespace

ResultCode Tesserine::StartRecording(const std::string& path, uint32_t seed) {
    recordingError.clear();
    if (recorder) {
        recordingError = path + ": a recording is already running";
        return Fail;
    }
    RecordingHeader header;
    header.seed = seed;
    header.screenSize = screenSize.Load();
    header.pixelSize = pixelSize;
    header.start = LatchedInput();
    header.start.mouseWheel = 0;
    header.start.textSize = 0;
    auto writer = std::make_unique<RecordingWriter>();
    if (!writer->Open(path, header)) {
        recordingError = writer->Error();
        return Fail;
    }
    recorder = std::move(writer);
    recordingSeed = seed;
    std::srand(seed);
    return Ok;
}

ResultCode Tesserine::StopRecording() {
    if (!recorder) return Ok;
    const bool finished = recorder->Finish();
    if (!finished) recordingError = recorder->Error();
    recorder.reset();
    return finished ? Ok : Fail;
}

// Exactly what the latch of this frame used: after the latch the old states are the raw ones.
RecordedInput Tesserine::LatchedInput() const {
    RecordedInput input;
    for (int k = 0; k < KeyCount; k++) input.keys[k] = keyOldState[k];
    for (int b = 0; b < MouseButtonCount; b++) input.mouseButtons[b] = mouseOldState[b];
    input.mousePos = mousePos;
    input.mouseWheel = mouseWheelDelta;
    input.focused = hasInputFocus.load(std::memory_order_relaxed);
    input.windowSize = windowSize.Load();
    for (int p = 0; p < PadCount; p++) {
        const PadFrame& frame = padFrames[p];
        RecordedPad& pad = input.pads[p];
        pad.connected = frame.oldConnected;
        std::copy(frame.oldButtons, frame.oldButtons + PadButtonCount, pad.buttons);
        std::copy(frame.rawAxes, frame.rawAxes + PadAxisCount, pad.axes);
    }
    input.textSize = static_cast<uint16_t>(std::min<size_t>(typedText.size(), sizeof input.text));
    std::copy_n(typedText.data(), input.textSize, input.text);
    return input;
}

void Tesserine::RecordFrame(float elapsed) {
    if (recorder->WriteFrame(elapsed, LatchedInput())) return;
    recordingError = recorder->Error();
    recorder.reset();
}

void Tesserine::RecordStop() {
    if (recorder->WriteStop()) return;
    recordingError = recorder->Error();
    recorder.reset();
}

// Keys and buttons held when the recording began were latched before it: the replay's latch
// must start from them, or it would report them pressed in the first frame.
void Tesserine::SetLatchBase(const RecordedInput& held) {
    for (int k = 0; k < KeyCount; k++) {
        keyNewState[k].store(held.keys[k], std::memory_order_relaxed);
        keyOldState[k] = held.keys[k];
        keyboardState[k] = {false, false, held.keys[k]};
    }
    for (int b = 0; b < MouseButtonCount; b++) {
        mouseNewState[b].store(held.mouseButtons[b], std::memory_order_relaxed);
        mouseOldState[b] = held.mouseButtons[b];
        mouseState[b] = {false, false, held.mouseButtons[b]};
    }
    for (int p = 0; p < PadCount; p++) {
        const RecordedPad& pad = held.pads[p];
        padFrames[p].oldConnected = pad.connected;
        padFrames[p].connection = {false, false, pad.connected};
        for (int b = 0; b < PadButtonCount; b++) {
            padFrames[p].oldButtons[b] = pad.buttons[b];
            padFrames[p].buttons[b] = {false, false, pad.buttons[b]};
        }
    }
}

// Puts one frame's input where the platform would have, for the frame's latch to take.
void Tesserine::FeedInput(const RecordedInput& input, bool windowResized) {
    for (int k = 0; k < KeyCount; k++)
        keyNewState[k].store(input.keys[k], std::memory_order_relaxed);
    for (int b = 0; b < MouseButtonCount; b++)
        mouseNewState[b].store(input.mouseButtons[b], std::memory_order_relaxed);
    mousePosCache.Store(input.mousePos);
    mouseWheelDeltaCache.store(input.mouseWheel, std::memory_order_relaxed);
    hasInputFocus.store(input.focused, std::memory_order_relaxed);
    if (windowResized) UpdateWindowSize(input.windowSize.x, input.windowSize.y);
    for (int p = 0; p < PadCount; p++) {
        PadReport& report = padReports[p];
        report.connected.store(input.pads[p].connected, std::memory_order_relaxed);
        for (int b = 0; b < PadButtonCount; b++)
            report.buttons[b].store(input.pads[p].buttons[b], std::memory_order_relaxed);
        for (int a = 0; a < PadAxisCount; a++)
            report.axes[a].store(input.pads[p].axes[a], std::memory_order_relaxed);
    }
    typedQueue.PushUtf8(input.text, input.textSize);
}

ResultCode Tesserine::Replay(const std::string& path,
                             const std::function<void(uint64_t frame)>& afterFrame) {
    recordingError.clear();
    if (recorder || ran || !layers.empty()) {
        recordingError = path + ": an engine replays only before it has run, and not while it "
                                "records";
        return Fail;
    }
    const Soundness soundness = CheckRecording(path, recordingError);
    RecordingReader reader;
    if (!reader.Open(path)) return reader.Missing() ? NoFile : Fail;
    if (soundness == Soundness::Damaged) return Fail;
    const RecordingHeader& header = reader.Header();
    if (header.screenSize != screenSize.Load() || header.pixelSize != pixelSize) {
        recordingError = path + ": recorded on a " + SizeText(header.screenSize) + " screen of " +
                         SizeText(header.pixelSize) + " pixels, but this engine is set up for " +
                         SizeText(screenSize.Load()) + " of " + SizeText(pixelSize);
        return Fail;
    }

    recordingSeed = header.seed;
    std::srand(header.seed);
    SetLatchBase(header.start);
    FeedInput(header.start, true);
    // The replay prepares the engine as a run does: it has had its one run.
    ran = true;
    running = true;
    if (StartEngine() != Ok) {
        recordingError = path + ": the platform could not start a replay: it needs back-ends "
                                "without a window, such as the headless ones";
        return Fail;
    }
    const ResultCode result = ReplayFrames(reader, afterFrame);
    running = false;
    EndEngine();
    return result;
}

ResultCode Tesserine::ReplayFrames(RecordingReader& reader,
                                   const std::function<void(uint64_t frame)>& afterFrame) {
    // Whether the run is over: OnCreate refused it, or OnDestroy accepted a stop.
    bool ended = !running;
    for (;;) {
        switch (reader.Next()) {
        case RecordingReader::Record::Frame:
            if (!running) {
                recordingError = "the game stopped before frame " +
                                 std::to_string(reader.FramesRead()) +
                                 " of its recording, where the recorded run went on: it does "
                                 "not replay the same";
                return Fail;
            }
            FeedInput(reader.Input(), reader.WindowSizeChanged());
            RunFrameFor(reader.Elapsed());
            if (afterFrame) afterFrame(reader.FramesRead() - 1);
            break;
        case RecordingReader::Record::Stop:
            // A run whose stop was accepted, or that never started, ends there: no recorded run
            // writes a stop after that, and OnDestroy must not run twice.
            if (ended) {
                recordingError = "damaged recording: a stop record after frame " +
                                 std::to_string(reader.FramesRead()) +
                                 ", where the run had already ended";
                return Fail;
            }
            running = false;
            ended = StopFrames();
            break;
        case RecordingReader::Record::End:
            return Ok;
        case RecordingReader::Record::Error:
            recordingError = reader.Error();
            if (reader.CutShort())
                recordingError += " (the " + std::to_string(reader.FramesRead()) +
                                  " frames before the cut were replayed)";
            return Fail;
        }
    }
}

} // namespace dral
