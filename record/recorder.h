// Recorder: records an engine's runs into recording files and replays them on it. It follows a
// run through the engine's frame observer and drives a replay through the hand-driven run
// (StartManualRun, RunFrameFor, EndManualRun), so the engine has one frame sequence for all three.
// Needs: the engine (engine/tesserine.h) and the file format (record/recording.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/tesserine.h"
#include "record/recording.h"

namespace dral {

/// Records and replays the runs of one engine. Make it after the engine and let it go first. Call
/// its operations while no frames run (before Run, after it returns) or on the engine thread (in
/// OnCreate, OnUpdate, OnDestroy).
class Recorder : private FrameObserver {
  public:
    /// A recorder for `engine`, which it does not own.
    explicit Recorder(Tesserine& target) : engine(target) {}
    /// Ends a recording still running, with its end record.
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    /// Writes every following frame's elapsed time and latched input to the file at path, which
    /// is created or replaced, and seeds the C library's rand with seed, so that a game drawing
    /// from rand replays the same. Started before Run, the recording reproduces the whole run.
    /// Fail (see Error) when the file cannot be written, or a recording or another frame observer
    /// is there already. A write that fails later ends the recording and leaves its message in
    /// Error. The end of the run ends the recording.
    ResultCode Record(const std::string& path, uint32_t seed);
    /// Writes the end record and closes the file. Fail when the last writes failed; Ok, doing
    /// nothing, when no recording runs.
    ResultCode Stop();
    /// Whether a recording is being written.
    bool IsRecording() const { return writer != nullptr; }

    /// Runs a recorded run again on the engine as a hand-driven run, instead of Run: seeds rand
    /// with the recorded seed, starts the run (OnCreate), then feeds every recorded frame's input
    /// and elapsed time through RunFrameFor, calling afterFrame(index) after each frame, and ends
    /// the run where the recorded run stopped (OnDestroy). Give the engine back-ends that deliver
    /// no input of their own first: the headless platform, with the headless renderer or one that
    /// keeps its frames. The engine must be set up with the recording's screen and pixel sizes
    /// and must not have run before. Ok when every frame replayed and the game stopped where the
    /// recorded one did; NoFile when the file cannot be opened; Fail with Error set when the file
    /// is damaged (nothing runs), cut short (the frames before the cut run: what a crash leaves is
    /// replayable) or the game does not follow its recording.
    ResultCode Replay(const std::string& path,
                      const std::function<void(uint64_t frame)>& afterFrame = {});

    /// Why the last Record, Stop or Replay failed, or why a recording ended early; empty when
    /// nothing failed.
    const std::string& Error() const { return error; }
    /// The seed given to Record, or read from the recording replayed last.
    uint32_t Seed() const { return seed; }

  private:
    // The frame observer, while recording or replaying.
    void FrameLatched(float elapsedSeconds) override;
    void FramesStopping() override;
    void RunEnding() override;

    // Ends the recording after a failed write, keeping the writer's message.
    void Abandon();
    // Detaches from the engine when this recorder is its observer.
    void Detach();
    ResultCode ReplayRecords(RecordingReader& reader,
                             const std::function<void(uint64_t frame)>& afterFrame);

    Tesserine& engine;
    std::unique_ptr<RecordingWriter> writer;
    // While replaying: whether the engine's run is over (OnCreate refused it, or a stop was
    // accepted), as RunEnding tells.
    bool replayEnded = false;
    std::string error;
    uint32_t seed = 0;
};

} // namespace dral
