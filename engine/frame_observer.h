// FrameObserver: the one hook through which a program outside the engine watches a run's frames,
// whichever way they are driven (Run's engine thread or a hand-driven run). The recorder in
// record/ is built on it. Needs nothing but the language.
#pragma once

namespace dral {

/// Told of the three moments of a run a driver needs to follow it: each frame's latched input,
/// the frames stopping, and the run's end. Set with Tesserine::SetFrameObserver; the engine calls
/// it on the thread that runs the frames, and does not own it. An observer may detach itself
/// (SetFrameObserver(nullptr)) from inside any of its calls.
class FrameObserver {
  public:
    /// Releases the observer; detach it from its engine first.
    virtual ~FrameObserver() = default;
    /// A frame has latched its input and is about to call OnUpdate; elapsedSeconds is the time
    /// it gives OnUpdate. Tesserine::LatchedInput reads what the latch read.
    virtual void FrameLatched(float elapsedSeconds) = 0;
    /// The frames have stopped and OnDestroy is about to be asked; if it refuses, frames follow
    /// and a later stop calls this again.
    virtual void FramesStopping() = 0;
    /// The run is over (OnCreate refused it, OnDestroy accepted its stop, or AbortManualRun ended
    /// it) and the platform is about to clean up the thread: the device still exists. Not called
    /// for a run that never started (the window, the thread set-up or the device could not be
    /// made).
    virtual void RunEnding() = 0;
};

} // namespace dral
