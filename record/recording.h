// Recordings of a run's input: the raw input the engine latched at the start of every frame, the
// frame's elapsed time and the application's random seed, written and read as a stream so that
// neither side holds more than one frame. docs/recording-format.md describes the bytes.
// Needs: the engine's input vocabulary (engine/input.h), the C library's files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/input.h"
#include "engine/vec2.h"

namespace dral {

/// The version of the recording format this engine writes. It reads this one and version 1, which
/// has no pads and no typed text.
inline constexpr uint16_t RecordingVersion = 2;

/// The largest window side a recording holds, in window pixels: more than any platform reports,
/// and small enough that a replay's viewport stays far inside int32 arithmetic.
inline constexpr int32_t MaxRecordedWindowSide = 65535;

/// A frame record holds exactly the raw input its frame latched, and so does the header's start.
using RecordedInput = RawInput;
/// One pad of a frame record.
using RecordedPad = RawPad;

/// What a recording starts from: the seed, the engine's geometry, and the input as it stood before
/// the first recorded frame (keys already held then, for instance). Its wheel is always 0.
struct RecordingHeader {
    uint16_t version = RecordingVersion; ///< the file's format version (a writer writes this one)
    uint32_t seed = 0;                   ///< the seed given to Recorder::Record
    Vec2i screenSize{0, 0};              ///< the engine's screen size, in engine pixels
    Vec2i pixelSize{0, 0};               ///< the engine's pixel size, in window pixels
    RecordedInput start; ///< the input before the first frame; its text is always empty
};

/// Writes a recording to a file record by record; every record reaches the file before the call
/// returns, so a run that crashes leaves every frame it finished. Nothing allocates after Open.
class RecordingWriter {
  public:
    RecordingWriter() = default;
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;
    /// Closes the file without the end record, as a crash would leave it.
    ~RecordingWriter();

    /// Creates (or replaces) the file at path and writes the header, in the header's version
    /// (1 or RecordingVersion; a version 1 file leaves out the pads and the text). False with
    /// Error() set when the file cannot be written, the version is unknown, or the window is
    /// negative or larger than MaxRecordedWindowSide.
    bool Open(const std::string& path, const RecordingHeader& header);
    /// One frame: its elapsed seconds and the input it latched. False once a write has failed;
    /// a window outside 0 to MaxRecordedWindowSide a side ends the recording as a failed write.
    bool WriteFrame(float elapsedSeconds, const RecordedInput& input);
    /// The run stopped here and OnDestroy was called; frames that follow come after it refused.
    bool WriteStop();
    /// Writes the end record with the frame count and checksum, and closes the file.
    bool Finish();

    /// Whether records can still be written: after Open, before Finish or a failed write.
    bool IsOpen() const { return file != nullptr; }
    /// Frame records written so far.
    uint64_t FramesWritten() const { return frames; }
    /// Why the last Open or write failed; empty while all is well.
    const std::string& Error() const { return error; }

  private:
    bool Put(const uint8_t* bytes, size_t size);
    bool Flush();
    void Abandon(const std::string& why);

    std::FILE* file = nullptr;
    std::string path;
    uint16_t version = RecordingVersion;
    RecordedInput last;
    uint64_t frames = 0;
    uint32_t crc = 0;
    std::string error;
};

/// Reads a recording record by record. Every fault of the file — wrong kind of file, unknown
/// version, a damaged or impossible record, a wrong checksum, an end that is missing — ends the
/// reading with a message that names the fault and where it is.
class RecordingReader {
  public:
    /// What Next found.
    enum class Record {
        Frame, ///< Elapsed() and Input() hold the next frame
        Stop,  ///< the recorded run stopped here and called OnDestroy
        End,   ///< the recording ended properly; nothing follows
        Error, ///< the file is damaged or cut short: see Error() and CutShort()
    };

    RecordingReader() = default;
    RecordingReader(const RecordingReader&) = delete;
    RecordingReader& operator=(const RecordingReader&) = delete;
    ~RecordingReader();

    /// Opens the file and reads its header; a reader opens one file. False with Error() set when
    /// the file is missing or is not a recording this version reads.
    bool Open(const std::string& path);
    /// The header Open read.
    const RecordingHeader& Header() const { return header; }
    /// The next record. After End or Error it keeps returning the same.
    Record Next();

    /// The last frame's elapsed seconds.
    float Elapsed() const { return elapsed; }
    /// The last frame's whole input, not only what changed.
    const RecordedInput& Input() const { return input; }
    /// What changed against the previous frame (or the header for the first frame).
    bool WindowSizeChanged() const { return windowChanged; }
    /// Frame records read so far.
    uint64_t FramesRead() const { return frames; }
    /// Why Open or the reading failed, naming the file and the fault; empty while all is well.
    const std::string& Error() const { return error; }
    /// Whether the error is an end that came too early (at or inside a record), as a crash or an
    /// interrupted copy leaves it, rather than a damaged record: the frames read so far are sound.
    bool CutShort() const { return cutShort; }
    /// Whether Open failed because the file could not be opened at all.
    bool Missing() const { return missing; }

  private:
    bool Get(uint8_t* bytes, size_t size);
    Record ReadFrame(uint8_t kind);
    Record ReadPadsAndText();
    Record ReadEnd();
    Record Reject(const std::string& what);

    std::FILE* file = nullptr;
    std::string path;
    RecordingHeader header;
    RecordedInput input;
    float elapsed = 0.0f;
    bool windowChanged = false;
    uint64_t frames = 0;
    uint32_t crc = 0;
    bool done = false;
    bool cutShort = false;
    bool missing = false;
    std::string error;
};

} // namespace dral
