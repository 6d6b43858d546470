// Example: input. Teaches the three states of a key or button (pressed in this frame, held,
// released in this frame), the mouse position in engine pixels however the window is sized, the
// wheel, a gamepad and typed text. Move the ring with the arrow keys or a pad's left stick or
// d-pad, paint with the left mouse button or the pad's A, clear with the right button or B,
// change the brush with the wheel or the shoulders. Type a name into the field at the top:
// Backspace deletes, Enter empties it. Resize the window: black bars keep the picture's shape, and
// the mouse still lands on the right engine pixel. Escape quits.
#include <algorithm>
#include <string>

#include "runner/run_game.h"

class Input : public dral::Tesserine {
  public:
    Input() { appName = "Input"; }

    bool OnCreate() override {
        // A layer of our own keeps the painting, so the base layer can be cleared every frame.
        canvas = static_cast<uint8_t>(CreateLayer());
        SetDrawTarget(canvas);
        Clear(dral::VeryDarkBlue);
        SetDrawTarget(nullptr);
        EnableLayer(canvas, true);
        ringX = static_cast<float>(ScreenWidth() / 2);
        ringY = static_cast<float>(ScreenHeight() / 2);
        return true;
    }

    bool OnUpdate(float elapsedSeconds) override {
        MoveRing(elapsedSeconds);
        Paint();
        EditName();

        Clear(dral::Transparent);
        DrawCircle(static_cast<int32_t>(ringX), static_cast<int32_t>(ringY), 10, dral::Yellow);
        DrawSpaceState();
        // The mouse is already mapped from window pixels through the letterbox to engine pixels,
        // and kept on the screen: over a bar it reports the nearest edge.
        const dral::Vec2i mouse{MouseX(), MouseY()};
        DrawCircle(mouse, brush, dral::White);
        DrawString(4, ScreenHeight() - 10,
                   "mouse " + std::to_string(mouse.x) + "," + std::to_string(mouse.y) + "  brush " +
                       std::to_string(brush),
                   dral::White);
        if (!IsFocused()) DrawString(4, 24, "(no keyboard focus)", dral::Grey);
        DrawPadState();
        DrawNameField();
        return !KeyState(dral::Key::Escape).pressed;
    }

  private:
    // Held is true in every frame the key is down: right for movement, which must not depend on
    // how often the keyboard repeats. Speed is in engine pixels per second.
    void MoveRing(float elapsedSeconds) {
        const float step = 120.0f * elapsedSeconds;
        if (KeyState(dral::Key::Left).held) ringX -= step;
        if (KeyState(dral::Key::Right).held) ringX += step;
        if (KeyState(dral::Key::Up).held) ringY -= step;
        if (KeyState(dral::Key::Down).held) ringY += step;
        // The first pad steers too. Its stick reads exactly 0 near the middle (the dead zone), so
        // the ring stays put when nobody touches it; the d-pad's buttons work like the arrows.
        ringX += step * PadAxisValue(0, dral::PadAxis::LeftX);
        ringY += step * PadAxisValue(0, dral::PadAxis::LeftY);
        if (PadButtonState(0, dral::PadButton::Left).held) ringX -= step;
        if (PadButtonState(0, dral::PadButton::Right).held) ringX += step;
        if (PadButtonState(0, dral::PadButton::Up).held) ringY -= step;
        if (PadButtonState(0, dral::PadButton::Down).held) ringY += step;
        ringX = std::clamp(ringX, 0.0f, static_cast<float>(ScreenWidth() - 1));
        ringY = std::clamp(ringY, 0.0f, static_cast<float>(ScreenHeight() - 1));
    }

    void Paint() {
        // The wheel reports the movement since the last frame; one notch is 120.
        brush += MouseWheel() / dral::WheelNotch;
        if (PadButtonState(0, dral::PadButton::RightShoulder).pressed) ++brush;
        if (PadButtonState(0, dral::PadButton::LeftShoulder).pressed) --brush;
        brush = std::clamp(brush, 1, 20);
        SetDrawTarget(canvas);
        // Buttons: 0 left, 1 right, 2 middle. Pressed is true for one frame only, so a click
        // clears once however long the button stays down. A click quicker than a frame still
        // counts: pressed shows in the next frame and released in the one after.
        if (MouseButtonState(0).held) FillCircle(MouseX(), MouseY(), brush, dral::Cyan);
        if (PadButtonState(0, dral::PadButton::A).held)
            FillCircle(static_cast<int32_t>(ringX), static_cast<int32_t>(ringY), brush, dral::Cyan);
        if (MouseButtonState(1).pressed || PadButtonState(0, dral::PadButton::B).pressed)
            Clear(dral::VeryDarkBlue);
        SetDrawTarget(nullptr);
    }

    // Shows the three states of the space bar; pressed and released each last a single frame.
    void DrawSpaceState() {
        const dral::ButtonState space = KeyState(dral::Key::Space);
        if (space.pressed) ++presses;
        DrawString(4, 4, "Space:", dral::White);
        DrawString(56, 4, "held", space.held ? dral::Green : dral::DarkGrey);
        DrawString(96, 4, "pressed " + std::to_string(presses) + " times", dral::White);
        if (space.released) FillRect(0, 0, ScreenWidth(), 2, dral::Red);
    }

    // TypedText is what was typed since the last frame, as UTF-8, with the keyboard's repeat and
    // layout applied; Backspace and Enter stay keys. The built-in font has ASCII only, so the field
    // keeps ASCII.
    void EditName() {
        // Space is text too (holding it repeats), but a name does not start with one.
        for (char c : TypedText())
            if (static_cast<unsigned char>(c) < 0x80 && name.size() < 16 &&
                !(c == ' ' && name.empty()))
                name += c;
        if (KeyState(dral::Key::Back).pressed && !name.empty()) name.pop_back();
        if (KeyState(dral::Key::Enter).pressed) name.clear();
    }

    void DrawNameField() {
        DrawRect(4, 34, 16 * 8 + 4, 11, dral::Grey);
        DrawString(6, 36, name + "_", dral::Yellow);
    }

    // A pad is seen plugged in (pressed) and pulled out (released) like a button.
    void DrawPadState() {
        const dral::ButtonState pad = PadConnection(0);
        if (pad.pressed || pad.released)
            padNotice = pad.pressed ? "pad plugged in" : "pad pulled out";
        DrawString(4, 14, IsPadConnected(0) ? "pad 0: stick, d-pad, A, B" : "no pad", dral::Grey);
        DrawString(4, 50, padNotice, dral::Grey);
    }

    std::string name;
    std::string padNotice;
    uint8_t canvas = 0;
    float ringX = 0.0f, ringY = 0.0f;
    int32_t brush = 4;
    int32_t presses = 0;
};

int main(int argc, char** argv) {
    Input app;
    if (app.Setup(320, 240, 2, 2) != dral::Ok) return 1;
    // The window, or with --frames N (as the tests start it) N frames without one: --help lists
    // the options.
    return dral::RunGame(app, argc, argv);
}
