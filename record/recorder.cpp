// Recording: the recorder follows a run as its frame observer and writes what each frame's latch
// saw and the time the frame was given, the stops, and the end.
// Needs: record/recording.h for the file, the C library's rand.
#include "record/recorder.h"

#include <cstdlib>

namespace dral {

Recorder::~Recorder() {
    Stop();
    Detach();
}

ResultCode Recorder::Record(const std::string& path, uint32_t newSeed) {
    error.clear();
    if (writer || engine.GetFrameObserver()) {
        error = path + ": a recording is already running";
        return Fail;
    }
    RecordingHeader header;
    header.seed = newSeed;
    header.screenSize = {engine.ScreenWidth(), engine.ScreenHeight()};
    header.pixelSize = engine.GetPixelSize();
    header.start = engine.LatchedInput();
    header.start.mouseWheel = 0;
    header.start.textSize = 0;
    auto opened = std::make_unique<RecordingWriter>();
    if (!opened->Open(path, header)) {
        error = opened->Error();
        return Fail;
    }
    writer = std::move(opened);
    engine.SetFrameObserver(this);
    seed = newSeed;
    std::srand(newSeed);
    return Ok;
}

ResultCode Recorder::Stop() {
    if (!writer) return Ok;
    const bool finished = writer->Finish();
    if (!finished) error = writer->Error();
    writer.reset();
    Detach();
    return finished ? Ok : Fail;
}

void Recorder::Abandon() {
    error = writer->Error();
    writer.reset();
    Detach();
}

void Recorder::Detach() {
    if (engine.GetFrameObserver() == this) engine.SetFrameObserver(nullptr);
}

void Recorder::FrameLatched(float elapsedSeconds) {
    if (writer && !writer->WriteFrame(elapsedSeconds, engine.LatchedInput())) Abandon();
}

void Recorder::FramesStopping() {
    if (writer && !writer->WriteStop()) Abandon();
}

void Recorder::RunEnding() {
    if (writer) {
        Stop();
        return;
    }
    replayEnded = true;
}

} // namespace dral
