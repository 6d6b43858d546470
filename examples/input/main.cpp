// Example: input. Teaches the three states of a key or button (pressed in this frame, held,
// released in this frame), the mouse position in engine pixels however the window is sized, and
// the wheel. Move the ring with the arrow keys, paint with the left mouse button, clear with the
// right one, change the brush with the wheel. Resize the window: black bars keep the picture's
// shape, and the mouse still lands on the right engine pixel. Escape quits.
#include <algorithm>
#include <string>

#include "engine/run_game.h"

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
        ringX = std::clamp(ringX, 0.0f, static_cast<float>(ScreenWidth() - 1));
        ringY = std::clamp(ringY, 0.0f, static_cast<float>(ScreenHeight() - 1));
    }

    void Paint() {
        // The wheel reports the movement since the last frame; one notch is 120.
        brush = std::clamp(brush + MouseWheel() / 120, 1, 20);
        SetDrawTarget(canvas);
        // Buttons: 0 left, 1 right, 2 middle. Pressed is true for one frame only, so a click
        // clears once however long the button stays down.
        if (MouseButtonState(0).held) FillCircle(MouseX(), MouseY(), brush, dral::Cyan);
        if (MouseButtonState(1).pressed) Clear(dral::VeryDarkBlue);
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
