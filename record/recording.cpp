// The recording file: a fixed header, then one small record per frame holding the elapsed time
// and only what changed in the input, stop records, and an end record with a checksum. The
// reader accepts only the one encoding the writer produces, so every damaged byte is noticed.
// Version 2 adds the pads (in the header and in frames) and the frames' typed text.
#include "record/recording.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/crc32.h"

namespace dral {

namespace {

constexpr uint8_t Magic[8] = {'T', 'E', 'S', 'S', 'R', 'E', 'C', '\n'};
constexpr size_t HeaderSize = 82; // version 1's whole header; version 2 adds the pads
constexpr size_t PadBytes = 1 + 4 + 4 * PadAxisCount;
constexpr uint8_t StopKind = 0x01;
constexpr uint8_t EndKind = 0x02;
constexpr uint8_t FrameKind = 0x80;

// Bits of a frame record's kind byte: which parts of the input follow the elapsed time.
enum Change : uint8_t {
    KeysChanged = 0x01,
    ButtonsChanged = 0x02,
    MouseMoved = 0x04,
    WheelTurned = 0x08,
    FocusToggled = 0x10,
    WindowResized = 0x20,
    PadsOrText = 0x40, // version 2: a byte of PadOrTextChange bits follows
};
// Bits of the byte that follows PadsOrText: pads 0 to 3 changed, then text was typed.
constexpr uint8_t TextTyped = 0x10;
constexpr uint8_t AllPadsOrText = 0x1F;
constexpr size_t MaxFrameRecord =
    1 + 4 + 1 + KeyCount + 1 + 8 + 4 + 8 + 1 + PadCount * PadBytes + 2 + TypedTextQueue::MaxBytes;

uint8_t AllChanges(uint16_t version) {
    return version >= 2 ? 0x7F : 0x3F;
}

// Little-endian encoding into a caller's buffer.
class Encoder {
  public:
    explicit Encoder(uint8_t* out) : start(out), pos(out) {}
    void U8(uint8_t v) { *pos++ = v; }
    void U32(uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) U8(static_cast<uint8_t>(v >> shift));
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Vec(const Vec2i& v) {
        I32(v.x);
        I32(v.y);
    }
    void Bytes(const uint8_t* bytes, size_t size) {
        std::memcpy(pos, bytes, size);
        pos += size;
    }
    size_t Size() const { return static_cast<size_t>(pos - start); }

  private:
    uint8_t* start;
    uint8_t* pos;
};

class Decoder {
  public:
    explicit Decoder(const uint8_t* in) : pos(in) {}
    uint8_t U8() { return *pos++; }
    uint32_t U32() {
        uint32_t v = 0;
        for (int shift = 0; shift < 32; shift += 8) v |= uint32_t{U8()} << shift;
        return v;
    }
    uint64_t U64() {
        const uint64_t low = U32();
        return low | uint64_t{U32()} << 32;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    Vec2i Vec() {
        const int32_t x = I32();
        return {x, I32()};
    }

  private:
    const uint8_t* pos;
};

uint8_t ButtonMask(const bool* buttons) {
    uint8_t mask = 0;
    for (int i = 0; i < MouseButtonCount; i++) mask |= static_cast<uint8_t>(buttons[i] << i);
    return mask;
}

// Whether a recording can hold the window size: what a platform reports, never negative.
bool RecordableWindow(const Vec2i& size) {
    return size.x >= 0 && size.y >= 0 && size.x <= MaxRecordedWindowSide &&
           size.y <= MaxRecordedWindowSide;
}

std::string WindowText(const Vec2i& size) {
    return std::to_string(size.x) + " x " + std::to_string(size.y);
}

void SetButtons(bool* buttons, uint8_t mask) {
    for (int i = 0; i < MouseButtonCount; i++) buttons[i] = (mask >> i) & 1;
}

uint32_t FloatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float BitsFloat(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

bool SamePad(const RecordedPad& a, const RecordedPad& b) {
    return a.connected == b.connected &&
           std::equal(a.buttons, a.buttons + PadButtonCount, b.buttons) &&
           std::memcmp(a.axes, b.axes, sizeof a.axes) == 0;
}

void EncodePad(Encoder& e, const RecordedPad& pad) {
    e.U8(pad.connected ? 1 : 0);
    uint32_t mask = 0;
    for (int b = 0; b < PadButtonCount; b++) mask |= uint32_t{pad.buttons[b]} << b;
    e.U32(mask);
    for (float axis : pad.axes) e.U32(FloatBits(axis));
}

// One pad's fields, or a message saying why no latch could have seen them.
std::string DecodePad(const uint8_t* in, RecordedPad& pad) {
    Decoder d(in);
    const uint8_t connected = d.U8();
    const uint32_t mask = d.U32();
    if (connected > 1 || mask >> PadButtonCount != 0) return "impossible pad or pad-button bits";
    pad.connected = connected == 1;
    for (int b = 0; b < PadButtonCount; b++) pad.buttons[b] = (mask >> b) & 1;
    bool centred = true;
    for (int a = 0; a < PadAxisCount; a++) {
        const uint32_t bits = d.U32();
        const float v = BitsFloat(bits);
        const float low = a >= static_cast<int>(PadAxis::LeftTrigger) ? 0.0f : -1.0f;
        if (!(v >= low && v <= 1.0f)) return "a pad axis outside its range";
        pad.axes[a] = v;
        centred = centred && bits == 0;
    }
    if (!pad.connected && (mask != 0 || !centred))
        return "a pad that is not plugged in has a button down or an axis moved";
    return {};
}

void EncodeHeader(uint8_t* out, const RecordingHeader& h) {
    Encoder e(out);
    e.Bytes(Magic, sizeof Magic);
    e.U8(static_cast<uint8_t>(h.version & 0xFF));
    e.U8(static_cast<uint8_t>(h.version >> 8));
    e.U8(0);
    e.U8(0);
    e.U32(h.seed);
    e.Vec(h.screenSize);
    e.Vec(h.pixelSize);
    e.Vec(h.start.windowSize);
    e.Vec(h.start.mousePos);
    e.U8(h.start.focused ? 1 : 0);
    e.U8(ButtonMask(h.start.mouseButtons));
    uint8_t held[KeyCount / 8] = {};
    for (int k = 0; k < KeyCount; k++)
        held[k / 8] |= static_cast<uint8_t>(h.start.keys[k] << k % 8);
    e.Bytes(held, sizeof held);
    if (h.version >= 2)
        for (const RecordedPad& pad : h.start.pads) EncodePad(e, pad);
}

size_t HeaderBytes(uint16_t version) {
    return HeaderSize + (version >= 2 ? PadCount * PadBytes : 0);
}

// The header's fields, or a message saying which one is impossible.
std::string DecodeHeader(const uint8_t* in, RecordingHeader& h) {
    if (std::memcmp(in, Magic, sizeof Magic) != 0) return "not a Tesserine recording";
    Decoder d(in + sizeof Magic);
    const uint32_t versionAndReserved = d.U32();
    const uint32_t version = versionAndReserved & 0xFFFF;
    if (version < 1 || version > RecordingVersion)
        return "recording format version " + std::to_string(version) + ", but this engine reads " +
               "versions 1 to " + std::to_string(RecordingVersion);
    h.version = static_cast<uint16_t>(version);
    if (versionAndReserved >> 16 != 0) return "damaged header: reserved bytes are not zero";
    h.seed = d.U32();
    h.screenSize = d.Vec();
    h.pixelSize = d.Vec();
    h.start.windowSize = d.Vec();
    h.start.mousePos = d.Vec();
    const uint8_t focus = d.U8();
    const uint8_t buttons = d.U8();
    if (h.screenSize.x <= 0 || h.screenSize.y <= 0 || h.pixelSize.x <= 0 || h.pixelSize.y <= 0)
        return "damaged header: the screen and pixel sizes must be positive";
    if (!RecordableWindow(h.start.windowSize))
        return "damaged header: a window of " + WindowText(h.start.windowSize) +
               ", not 0 to 65535 a side";
    if (focus > 1 || buttons >> MouseButtonCount != 0)
        return "damaged header: impossible focus or mouse-button bits";
    SetButtons(h.start.mouseButtons, buttons);
    h.start.focused = focus == 1;
    h.start.mouseWheel = 0;
    const uint8_t* held = in + HeaderSize - KeyCount / 8;
    for (int k = 0; k < KeyCount; k++) h.start.keys[k] = (held[k / 8] >> k % 8) & 1;
    return {};
}

// The header's pads, which follow version 1's header in later versions.
std::string DecodeHeaderPads(const uint8_t* in, RecordingHeader& h) {
    for (int p = 0; p < PadCount; p++) {
        const std::string fault = DecodePad(in + p * PadBytes, h.start.pads[p]);
        if (!fault.empty()) return "damaged header: " + fault;
    }
    return {};
}

// Whether text is what a frame's typed text can be: whole characters, no control characters, no
// more than a frame takes.
bool IsTypedText(const char* text, size_t size) {
    TypedTextQueue queue;
    queue.PushUtf8(text, size);
    std::string back;
    queue.Drain(back);
    return back.size() == size && std::memcmp(back.data(), text, size) == 0;
}

// The pads that changed against `last` and the frame's text, when there are any; returns the
// change bit to set in the kind.
uint8_t EncodePadsAndText(Encoder& e, const RecordedInput& input, const RecordedInput& last) {
    uint8_t which = 0;
    for (int p = 0; p < PadCount; p++)
        if (!SamePad(input.pads[p], last.pads[p])) which |= static_cast<uint8_t>(1 << p);
    const uint16_t textSize = std::min<uint16_t>(input.textSize, TypedTextQueue::MaxBytes);
    if (textSize > 0) which |= TextTyped;
    if (which == 0) return 0;
    e.U8(which);
    for (int p = 0; p < PadCount; p++)
        if (which & (1 << p)) EncodePad(e, input.pads[p]);
    if (textSize > 0) {
        e.U8(static_cast<uint8_t>(textSize));
        e.U8(static_cast<uint8_t>(textSize >> 8));
        e.Bytes(reinterpret_cast<const uint8_t*>(input.text), textSize);
    }
    return PadsOrText;
}

} // namespace

// ---- Writing ----

RecordingWriter::~RecordingWriter() {
    if (file) std::fclose(file);
}

bool RecordingWriter::Open(const std::string& filePath, const RecordingHeader& header) {
    if (file) std::fclose(file);
    file = std::fopen(filePath.c_str(), "wb");
    path = filePath;
    frames = 0;
    crc = 0;
    error.clear();
    version = header.version;
    last = header.start;
    last.mouseWheel = 0;
    last.textSize = 0;
    if (!file) {
        error = path + ": cannot create the recording file";
        return false;
    }
    if (version < 1 || version > RecordingVersion) {
        Abandon("cannot write recording format version " + std::to_string(version));
        return false;
    }
    if (!RecordableWindow(header.start.windowSize)) {
        Abandon("the window of " + WindowText(header.start.windowSize) +
                " cannot be recorded (0 to 65535 a side)");
        return false;
    }
    uint8_t bytes[HeaderSize + PadCount * PadBytes];
    EncodeHeader(bytes, header);
    return Put(bytes, HeaderBytes(version)) && Flush();
}

bool RecordingWriter::WriteFrame(float elapsedSeconds, const RecordedInput& input) {
    if (!file) return false;
    if (!RecordableWindow(input.windowSize)) {
        Abandon("frame " + std::to_string(frames + 1) + "'s window of " +
                WindowText(input.windowSize) + " cannot be recorded (0 to 65535 a side)");
        return false;
    }
    uint8_t bytes[MaxFrameRecord];
    Encoder e(bytes);
    e.U8(0); // the kind, known once the changes are
    e.U32(FloatBits(elapsedSeconds));
    uint8_t changes = 0;

    uint8_t toggled[KeyCount];
    size_t toggles = 0;
    for (int k = 0; k < KeyCount; k++)
        if (input.keys[k] != last.keys[k]) toggled[toggles++] = static_cast<uint8_t>(k);
    if (toggles > 0) {
        changes |= KeysChanged;
        e.U8(static_cast<uint8_t>(toggles - 1));
        e.Bytes(toggled, toggles);
    }
    const uint8_t buttons = ButtonMask(input.mouseButtons);
    if (buttons != ButtonMask(last.mouseButtons)) {
        changes |= ButtonsChanged;
        e.U8(buttons);
    }
    if (input.mousePos != last.mousePos) {
        changes |= MouseMoved;
        e.Vec(input.mousePos);
    }
    if (input.mouseWheel != 0) {
        changes |= WheelTurned;
        e.I32(input.mouseWheel);
    }
    if (input.focused != last.focused) changes |= FocusToggled;
    if (input.windowSize != last.windowSize) {
        changes |= WindowResized;
        e.Vec(input.windowSize);
    }
    if (version >= 2) changes |= EncodePadsAndText(e, input, last);
    bytes[0] = FrameKind | changes;
    last = input;
    frames++;
    return Put(bytes, e.Size()) && Flush();
}

bool RecordingWriter::WriteStop() {
    return file && Put(&StopKind, 1) && Flush();
}

bool RecordingWriter::Finish() {
    if (!file) return false;
    uint8_t bytes[1 + 8 + 4];
    Encoder e(bytes);
    e.U8(EndKind);
    e.U64(frames);
    if (!Put(bytes, e.Size())) return false;
    uint8_t check[4];
    Encoder(check).U32(crc);
    if (!Put(check, sizeof check) || !Flush()) return false;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (!closed)
        error = path + ": closing the recording failed after frame " + std::to_string(frames);
    return closed;
}

bool RecordingWriter::Put(const uint8_t* bytes, size_t size) {
    crc = Crc32(crc, bytes, size);
    if (std::fwrite(bytes, 1, size, file) == size) return true;
    Abandon("writing the recording failed after frame " + std::to_string(frames));
    return false;
}

// Each record goes to the system at once, so that a crash of the application loses nothing.
bool RecordingWriter::Flush() {
    if (std::fflush(file) == 0) return true;
    Abandon("writing the recording failed after frame " + std::to_string(frames));
    return false;
}

void RecordingWriter::Abandon(const std::string& why) {
    error = path + ": " + why;
    std::fclose(file);
    file = nullptr;
}

// ---- Reading ----

RecordingReader::~RecordingReader() {
    if (file) std::fclose(file);
}

bool RecordingReader::Open(const std::string& filePath) {
    if (file) return false;
    path = filePath;
    file = std::fopen(path.c_str(), "rb");
    if (!file) {
        missing = true;
        error = path + ": cannot open the recording";
        done = true;
        return false;
    }
    uint8_t bytes[HeaderSize];
    if (!Get(bytes, sizeof bytes)) {
        error = path + ": too short for a recording's header";
        done = true;
        return false;
    }
    std::string fault = DecodeHeader(bytes, header);
    if (fault.empty() && header.version >= 2) {
        uint8_t pads[PadCount * PadBytes];
        if (!Get(pads, sizeof pads)) {
            error = path + ": too short for a recording's header";
            done = true;
            return false;
        }
        fault = DecodeHeaderPads(pads, header);
    }
    if (!fault.empty()) {
        error = path + ": " + fault;
        done = true;
        return false;
    }
    input = header.start;
    return true;
}

RecordingReader::Record RecordingReader::Next() {
    if (done) return error.empty() ? Record::End : Record::Error;
    uint8_t kind;
    if (!Get(&kind, 1)) return Reject("the recording ends without its end record");
    if (kind & FrameKind) return ReadFrame(kind);
    if (kind == StopKind) return Record::Stop;
    if (kind == EndKind) return ReadEnd();
    return Reject("unknown record kind " + std::to_string(kind));
}

RecordingReader::Record RecordingReader::ReadFrame(uint8_t kind) {
    const uint8_t changes = kind & static_cast<uint8_t>(~FrameKind);
    if (changes & ~AllChanges(header.version))
        return Reject("unknown change bits in a frame record");
    uint8_t bytes[8];
    if (!Get(bytes, 4)) return Reject("a frame record is cut short");
    elapsed = BitsFloat(Decoder(bytes).U32());
    if (!std::isfinite(elapsed) || elapsed < 0.0f)
        return Reject("a frame's elapsed time is negative or not a number");
    input.mouseWheel = 0;
    input.textSize = 0;
    windowChanged = false;

    if (changes & KeysChanged) {
        uint8_t keys[KeyCount];
        if (!Get(bytes, 1)) return Reject("a frame record is cut short");
        const size_t count = size_t{bytes[0]} + 1;
        if (!Get(keys, count)) return Reject("a frame record is cut short");
        for (size_t i = 0; i < count; i++) {
            if (i > 0 && keys[i] <= keys[i - 1])
                return Reject("the changed keys of a frame are not in rising order");
            input.keys[keys[i]] = !input.keys[keys[i]];
        }
    }
    if (changes & ButtonsChanged) {
        if (!Get(bytes, 1)) return Reject("a frame record is cut short");
        if (bytes[0] >> MouseButtonCount != 0 || bytes[0] == ButtonMask(input.mouseButtons))
            return Reject("impossible mouse-button states in a frame record");
        SetButtons(input.mouseButtons, bytes[0]);
    }
    if (changes & MouseMoved) {
        if (!Get(bytes, 8)) return Reject("a frame record is cut short");
        const Vec2i pos = Decoder(bytes).Vec();
        if (pos == input.mousePos) return Reject("a frame record moves the mouse to where it was");
        input.mousePos = pos;
    }
    if (changes & WheelTurned) {
        if (!Get(bytes, 4)) return Reject("a frame record is cut short");
        input.mouseWheel = Decoder(bytes).I32();
        if (input.mouseWheel == 0) return Reject("a frame record turns the wheel by 0");
    }
    if (changes & FocusToggled) input.focused = !input.focused;
    if (changes & WindowResized) {
        if (!Get(bytes, 8)) return Reject("a frame record is cut short");
        const Vec2i size = Decoder(bytes).Vec();
        if (!RecordableWindow(size))
            return Reject("frame " + std::to_string(frames + 1) + " sets a window of " +
                          WindowText(size) + ", not 0 to 65535 a side");
        if (size == input.windowSize)
            return Reject("a frame record resizes the window to the size it had");
        input.windowSize = size;
        windowChanged = true;
    }
    if (changes & PadsOrText) {
        const Record padsAndText = ReadPadsAndText();
        if (padsAndText != Record::Frame) return padsAndText;
    }
    frames++;
    return Record::Frame;
}

RecordingReader::Record RecordingReader::ReadPadsAndText() {
    uint8_t bytes[PadBytes];
    if (!Get(bytes, 1)) return Reject("a frame record is cut short");
    const uint8_t which = bytes[0];
    if (which == 0 || (which & ~AllPadsOrText) != 0)
        return Reject("impossible pad and text bits in a frame record");
    for (int p = 0; p < PadCount; p++) {
        if (!(which & (1 << p))) continue;
        if (!Get(bytes, PadBytes)) return Reject("a frame record is cut short");
        RecordedPad pad;
        const std::string fault = DecodePad(bytes, pad);
        if (!fault.empty()) return Reject(fault + " in a frame record");
        if (SamePad(pad, input.pads[p]))
            return Reject("a frame record changes a pad to what it was");
        input.pads[p] = pad;
    }
    if (which & TextTyped) {
        if (!Get(bytes, 2)) return Reject("a frame record is cut short");
        const size_t size = bytes[0] | size_t{bytes[1]} << 8;
        if (size == 0 || size > TypedTextQueue::MaxBytes)
            return Reject("impossible length of typed text in a frame record");
        if (!Get(reinterpret_cast<uint8_t*>(input.text), size))
            return Reject("a frame record is cut short");
        if (!IsTypedText(input.text, size))
            return Reject("typed text in a frame record that no keyboard gives");
        input.textSize = static_cast<uint16_t>(size);
    }
    return Record::Frame;
}

RecordingReader::Record RecordingReader::ReadEnd() {
    uint8_t bytes[8];
    if (!Get(bytes, 8)) return Reject("the end record is cut short");
    const uint64_t count = Decoder(bytes).U64();
    const uint32_t expected = crc;
    if (!Get(bytes, 4)) return Reject("the end record is cut short");
    if (count != frames)
        return Reject("the end record counts " + std::to_string(count) + " frames, not " +
                      std::to_string(frames));
    if (Decoder(bytes).U32() != expected)
        return Reject("the checksum does not match: damaged data");
    if (std::fgetc(file) != EOF) return Reject("bytes follow the end record");
    done = true;
    return Record::End;
}

bool RecordingReader::Get(uint8_t* bytes, size_t size) {
    if (std::fread(bytes, 1, size, file) != size) {
        cutShort = true;
        return false;
    }
    crc = Crc32(crc, bytes, size);
    return true;
}

RecordingReader::Record RecordingReader::Reject(const std::string& what) {
    error = path + " (after frame " + std::to_string(frames) + "): " + what;
    done = true;
    return Record::Error;
}

} // namespace dral
