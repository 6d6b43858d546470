// The smallest Tesserine application on the desktop: a square that follows the mouse on a
// 320 x 240 screen shown at twice its size. Escape or closing the window ends it.
#include "engine/tesserine.h"

class Hello : public dral::Tesserine {
  public:
    Hello() { appName = "Hello"; }
    bool OnCreate() override { return true; }
    bool OnUpdate(float) override {
        Clear(dral::DarkBlue);
        DrawString(8, 8, "Hello, Tesserine!", dral::Yellow);
        FillRect(MouseX() - 4, MouseY() - 4, 8, 8, dral::White);
        return !KeyState(dral::Key::Escape).pressed;
    }
};

int main() {
    Hello app;
    if (app.Setup(320, 240, 2, 2) == dral::Ok) app.Run();
    return 0;
}
