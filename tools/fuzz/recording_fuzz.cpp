// Fuzzes RecordingReader: any file is either read to its end record, in which case writing the
// records it gave back out reproduces the file byte for byte, or refused with a message; values
// it hands out are always ones the engine could have latched, pads and typed text included.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "fuzz_support.h"
#include "record/recording.h"

using namespace dral;

namespace {
// A pad is within its ranges, and all at rest while it is not plugged in.
bool SanePad(const RecordedPad& pad) {
    for (int a = 0; a < PadAxisCount; a++) {
        const float low = a >= static_cast<int>(PadAxis::LeftTrigger) ? 0.0f : -1.0f;
        if (!(pad.axes[a] >= low && pad.axes[a] <= 1.0f)) return false;
        if (!pad.connected && (pad.axes[a] != 0.0f || pad.buttons[a])) return false;
    }
    return pad.connected ||
           std::none_of(pad.buttons, pad.buttons + PadButtonCount, [](bool down) { return down; });
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchFile("recording");
    static const std::string copy = fuzz::ScratchFile("recording-copy");
    fuzz::WriteFile(path, data, size);
    RecordingReader reader;
    if (!reader.Open(path)) {
        fuzz::Check(!reader.Error().empty(), "a refused header says why");
        return 0;
    }
    RecordingWriter writer;
    fuzz::Check(writer.Open(copy, reader.Header()), "the copy opens");
    for (;;) {
        const RecordingReader::Record record = reader.Next();
        if (record == RecordingReader::Record::Error) {
            fuzz::Check(!reader.Error().empty(), "a refused record says why");
            return 0;
        }
        if (record == RecordingReader::Record::End) break;
        if (record == RecordingReader::Record::Stop) {
            writer.WriteStop();
            continue;
        }
        const RecordedInput& in = reader.Input();
        fuzz::Check(std::isfinite(reader.Elapsed()) && reader.Elapsed() >= 0.0f, "sane time");
        fuzz::Check(in.windowSize.x >= 0 && in.windowSize.y >= 0, "sane window");
        fuzz::Check(std::all_of(in.pads, in.pads + PadCount, SanePad), "sane pads");
        fuzz::Check(in.textSize <= TypedTextQueue::MaxBytes, "text within a frame's room");
        for (uint16_t i = 0; i < in.textSize; i++)
            fuzz::Check(static_cast<uint8_t>(in.text[i]) >= 0x20, "no control characters");
        fuzz::Check(reader.FramesRead() * 5 <= size, "every frame takes five bytes or more");
        writer.WriteFrame(reader.Elapsed(), in);
    }
    fuzz::Check(reader.Next() == RecordingReader::Record::End, "the end stays the end");
    fuzz::Check(writer.Finish(), "the copy finishes");
    fuzz::Check(ReadAll(copy) == std::string(reinterpret_cast<const char*>(data), size),
                "a sound recording has exactly one encoding");
    return 0;
}
