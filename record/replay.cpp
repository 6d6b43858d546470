// Replay: the recorder checks a recording whole, then runs it on the engine as a hand-driven run,
// feeding each frame the input and time it had; where the recorded run stopped, the engine's own
// stop (EndManualRun) asks OnDestroy, whose refusal the engine handles as in any run.
// Needs: record/recording.h for the file, the engine's hand-driven run and input feed.
#include <cstdlib>

#include "record/recorder.h"

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

ResultCode Recorder::Replay(const std::string& path,
                            const std::function<void(uint64_t frame)>& afterFrame) {
    error.clear();
    // An engine prepared by hand has its layers, and a run leaves them: either way it has had
    // its frames.
    if (writer || engine.GetFrameObserver() || !engine.GetLayers().empty()) {
        error = path + ": an engine replays only before it has run, and not while it records";
        return Fail;
    }
    const Soundness soundness = CheckRecording(path, error);
    RecordingReader reader;
    if (!reader.Open(path)) return reader.Missing() ? NoFile : Fail;
    if (soundness == Soundness::Damaged) return Fail;
    const RecordingHeader& header = reader.Header();
    const Vec2i screen{engine.ScreenWidth(), engine.ScreenHeight()};
    if (header.screenSize != screen || header.pixelSize != engine.GetPixelSize()) {
        error = path + ": recorded on a " + SizeText(header.screenSize) + " screen of " +
                SizeText(header.pixelSize) + " pixels, but this engine is set up for " +
                SizeText(screen) + " of " + SizeText(engine.GetPixelSize());
        return Fail;
    }

    seed = header.seed;
    std::srand(header.seed);
    engine.HoldInput(header.start);
    engine.FeedInput(header.start, true);
    replayEnded = false;
    engine.SetFrameObserver(this);
    // A refused OnCreate ends the run inside StartManualRun (RunEnding tells); the recording
    // then holds no frames if the game replays the same.
    if (engine.StartManualRun() != Ok && !replayEnded) {
        Detach();
        error = path + ": the platform could not start a replay: it needs back-ends without a "
                       "window, such as the headless ones";
        return Fail;
    }
    // Opening the window may have given it the platform's own size (a full-screen one): the
    // frames see the recorded window, as the recorded run's did.
    if (!replayEnded) engine.UpdateWindowSize(header.start.windowSize.x, header.start.windowSize.y);
    const ResultCode result = ReplayRecords(reader, afterFrame);
    if (!replayEnded) engine.AbortManualRun();
    Detach();
    return result;
}

ResultCode Recorder::ReplayRecords(RecordingReader& reader,
                                   const std::function<void(uint64_t frame)>& afterFrame) {
    for (;;) {
        switch (reader.Next()) {
        case RecordingReader::Record::Frame:
            // The frames stop where the game asked to stop; the recorded run went on.
            if (!running) {
                error = "the game stopped before frame " + std::to_string(reader.FramesRead()) +
                        " of its recording, where the recorded run went on: it does not replay "
                        "the same";
                return Fail;
            }
            engine.FeedInput(reader.Input(), reader.WindowSizeChanged());
            engine.RunFrameFor(reader.Elapsed());
            if (afterFrame) afterFrame(reader.FramesRead() - 1);
            break;
        case RecordingReader::Record::Stop:
            // A run whose stop was accepted, or that never started, ends there: no recorded run
            // writes a stop after that, and OnDestroy must not run twice.
            if (replayEnded) {
                error = "damaged recording: a stop record after frame " +
                        std::to_string(reader.FramesRead()) + ", where the run had already ended";
                return Fail;
            }
            engine.EndManualRun(); // a refusal lets frames follow, as in the recorded run
            break;
        case RecordingReader::Record::End:
            return Ok;
        case RecordingReader::Record::Error:
            error = reader.Error();
            if (reader.CutShort())
                error += " (the " + std::to_string(reader.FramesRead()) +
                         " frames before the cut were replayed)";
            return Fail;
        }
    }
}

} // namespace dral
