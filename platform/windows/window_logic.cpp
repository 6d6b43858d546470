// The Win32 platform's plain logic: key table, message dispatch, window geometry and the pixel
// layout of a GDI blit. Message and style numbers are Win32's, spelled out here so this file needs
// no system header. Needs: the engine's input updates (engine/tesserine.h).
#include "platform/windows/window_logic.h"

#include "engine/input.h"
#include "engine/tesserine.h"

namespace dral::win32 {

namespace {

enum : uint32_t {
    MsgDestroy = 0x0002,
    MsgSize = 0x0005,
    MsgSetFocus = 0x0007,
    MsgKillFocus = 0x0008,
    MsgClose = 0x0010,
    MsgKeyDown = 0x0100,
    MsgKeyUp = 0x0101,
    MsgChar = 0x0102,
    MsgSysKeyUp = 0x0105,
    MsgMouseMove = 0x0200,
    MsgLButtonDown = 0x0201,
    MsgLButtonUp = 0x0202,
    MsgRButtonDown = 0x0204,
    MsgRButtonUp = 0x0205,
    MsgMButtonDown = 0x0207,
    MsgMButtonUp = 0x0208,
    MsgMouseWheel = 0x020A,
};

void AddRange(KeyMap& keys, uint32_t firstCode, uint32_t lastCode, Key firstKey) {
    auto key = static_cast<uint32_t>(firstKey);
    for (uint32_t code = firstCode; code <= lastCode; ++code)
        keys[code] = static_cast<uint8_t>(key++);
}

void Add(KeyMap& keys, uint32_t code, Key key) {
    keys[code] = static_cast<uint8_t>(key);
}

uint32_t Low16(uintptr_t value) {
    return static_cast<uint32_t>(value & 0xFFFF);
}
uint32_t High16(uintptr_t value) {
    return static_cast<uint32_t>((value >> 16) & 0xFFFF);
}

} // namespace

void FillKeyMap(KeyMap& keys) {
    Add(keys, 0x00, Key::None);
    AddRange(keys, 0x41, 0x5A, Key::A);
    AddRange(keys, 0x30, 0x39, Key::K0);
    AddRange(keys, 0x70, 0x7B, Key::F1);
    Add(keys, 0x26, Key::Up);
    Add(keys, 0x28, Key::Down);
    Add(keys, 0x25, Key::Left);
    Add(keys, 0x27, Key::Right);
    Add(keys, 0x20, Key::Space);
    Add(keys, 0x09, Key::Tab);
    Add(keys, 0x10, Key::Shift);
    Add(keys, 0x11, Key::Ctrl);
    Add(keys, 0x2D, Key::Ins);
    Add(keys, 0x2E, Key::Del);
    Add(keys, 0x24, Key::Home);
    Add(keys, 0x23, Key::End);
    Add(keys, 0x21, Key::PgUp);
    Add(keys, 0x22, Key::PgDn);
    Add(keys, 0x08, Key::Back);
    Add(keys, 0x1B, Key::Escape);
    Add(keys, 0x0D, Key::Enter);
    Add(keys, 0x13, Key::Pause);
    Add(keys, 0x91, Key::ScrollLock);
    AddRange(keys, 0x60, 0x69, Key::Np0);
    // The keypad operators are not in code order: divide follows multiply.
    Add(keys, 0x6A, Key::NpMul);
    Add(keys, 0x6F, Key::NpDiv);
    Add(keys, 0x6B, Key::NpAdd);
    Add(keys, 0x6D, Key::NpSub);
    Add(keys, 0x6E, Key::NpDecimal);
}

uint8_t LookUpKey(const KeyMap& keys, uint32_t virtualKey) {
    auto found = keys.find(virtualKey);
    return found == keys.end() ? 0 : found->second;
}

int32_t LowSigned16(uintptr_t value) {
    return static_cast<int16_t>(Low16(value));
}
int32_t HighSigned16(uintptr_t value) {
    return static_cast<int16_t>(High16(value));
}

MessageOutcome DispatchWindowMessage(Tesserine& engine, const KeyMap& keys, uint32_t message,
                                     uintptr_t wParam, intptr_t lParam) {
    const auto lBits = static_cast<uintptr_t>(lParam);
    const auto key = [&] { return LookUpKey(keys, static_cast<uint32_t>(wParam)); };
    switch (message) {
    case MsgMouseMove:
        engine.UpdateMouse(LowSigned16(lBits), HighSigned16(lBits));
        break;
    case MsgLButtonDown:
        engine.UpdateMouseState(0, true);
        break;
    case MsgLButtonUp:
        engine.UpdateMouseState(0, false);
        break;
    case MsgRButtonDown:
        engine.UpdateMouseState(1, true);
        break;
    case MsgRButtonUp:
        engine.UpdateMouseState(1, false);
        break;
    case MsgMButtonDown:
        engine.UpdateMouseState(2, true);
        break;
    case MsgMButtonUp:
        engine.UpdateMouseState(2, false);
        break;
    case MsgMouseWheel:
        engine.UpdateMouseWheel(HighSigned16(wParam));
        break;
    case MsgSetFocus:
        engine.UpdateKeyFocus(true);
        break;
    case MsgKillFocus:
        engine.UpdateKeyFocus(false);
        break;
    case MsgKeyDown:
        engine.UpdateKeyState(key(), true);
        break;
    case MsgKeyUp:
        engine.UpdateKeyState(key(), false);
        break;
    // A UTF-16 unit; lone surrogates and control characters (Backspace, Enter) are not text.
    case MsgChar:
        engine.UpdateTypedChar(static_cast<char32_t>(wParam & 0xFFFF));
        break;
    case MsgSysKeyUp:
        engine.UpdateKeyState(key(), false);
        return MessageOutcome::DefaultHandler;
    case MsgSize:
        engine.UpdateWindowSize(static_cast<int32_t>(Low16(lBits)),
                                static_cast<int32_t>(High16(lBits)));
        break;
    // Closing only asks the engine to stop; the window stays until the process ends.
    case MsgClose:
        engine.RequestStop();
        break;
    case MsgDestroy:
        return MessageOutcome::PostQuit;
    default:
        return MessageOutcome::DefaultHandler;
    }
    return MessageOutcome::Handled;
}

WindowStyle ChooseWindowStyle(bool fullScreen) {
    // Full screen: WS_POPUP | WS_VISIBLE. Windowed: WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
    // WS_THICKFRAME, a resizable frame with a close button, with WS_EX_APPWINDOW |
    // WS_EX_WINDOWEDGE.
    if (fullScreen) return {0x90000000u, 0u};
    return {0x10CC0000u, 0x00040100u};
}

Vec2i OuterSize(const WindowRect& frame) {
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void CoverDisplay(const WindowRect& display, Vec2i& position, Vec2i& size) {
    size = {display.right, display.bottom};
    position = {0, 0};
}

void ToDibPixels(const Pixel* pixels, size_t count, std::vector<uint32_t>& dib) {
    if (dib.size() < count) dib.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const Pixel p = pixels[i];
        dib[i] = uint32_t(p.b) | uint32_t(p.g) << 8 | uint32_t(p.r) << 16;
    }
}

} // namespace dral::win32
