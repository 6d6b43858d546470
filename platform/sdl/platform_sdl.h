// The desktop platform on SDL2: one window (windowed or covering the display), its events turned
// into the engine's input and window-size updates on the main thread, and the title, the quit and
// frames composed on the CPU handed over from the engine thread through SDL's event queue.
// Needs: SDL2 and the engine's contracts (engine/backend.h, engine/input.h).
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "engine/backend.h"
#include "engine/input.h"

namespace dral {

/// SDL key code to the engine's key value; codes without a translation give Key::None. Any
/// thread.
Key MapSdlKey(SDL_Keycode code);

/// Keys that the window system keeps to itself (Alt, F10, anything pressed with Alt held): their
/// key-down never reaches the key state.
bool IsSystemKeyDown(const SDL_KeyboardEvent& key);

/// Feeds one window-system event into the engine's update operations; events the engine has no use
/// for are ignored. Main thread, from the event loop.
void DispatchWindowEvent(const SDL_Event& event, Tesserine& engine);

/// SDL game-controller button to the engine's pad button; false for buttons the standard layout
/// lacks (paddles, the touchpad, misc). Any thread.
bool MapSdlPadButton(uint8_t sdlButton, PadButton& button);

/// The gamepads through SDL's game-controller API and its mapping database: opens each
/// controller as it is plugged in, gives it the lowest free engine pad (0–3; a fifth is left
/// alone), and feeds its buttons and axes to the engine. Main thread.
class SdlPads {
  public:
    SdlPads() = default;
    SdlPads(const SdlPads&) = delete;
    SdlPads& operator=(const SdlPads&) = delete;
    /// Closes the controllers still open.
    ~SdlPads();
    /// Handles a controller event; false for any other event, which is left to the caller.
    bool Dispatch(const SDL_Event& event, Tesserine& engine);
    /// The engine pad of SDL joystick instance `id`, or −1 when it has none.
    int32_t PadOf(SDL_JoystickID id) const;

  private:
    void Open(int32_t deviceIndex, Tesserine& engine);
    void Close(SDL_JoystickID id, Tesserine& engine);

    SDL_GameController* controllers[PadCount] = {};
    SDL_JoystickID ids[PadCount] = {-1, -1, -1, -1};
};

/// The desktop Platform on SDL2, the default on Linux: one window, its events delivered to the
/// engine on the main thread, the title and the end of the event loop handed over from the engine
/// thread through SDL's event queue. Pair it with Renderer_OGL10. When no GL window or context can
/// be made (an X server without GLX, a driver without GL) it says so (GivesGpuSurface), and the
/// window shows frames composed on the CPU through its SDL surface (ShowFrame): the engine then
/// turns to its fallback renderer, and an application may choose such a renderer itself.
class Platform_SDL : public Platform {
  public:
    ResultCode StartApplication() override;
    ResultCode CleanUpApplication() override;
    ResultCode StartThread() override { return Ok; }
    ResultCode CleanUpThread() override;
    ResultCode CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                              const Vec2i& viewSize) override;
    ResultCode CreateAppWindow(const Vec2i& position, Vec2i& size, bool fullScreen) override;
    ResultCode SetWindowTitle(const std::string& title) override;
    ResultCode RunEventLoop() override;
    ResultCode HandleSystemEvent() override { return Fail; }

    /// False once the window had to be made without GL (CreateAppWindow) or a renderer's device
    /// could not be made on it (CreateGraphics).
    bool GivesGpuSurface() const override { return gpuSurface; }
    /// True: the window's SDL surface shows frames composed on the CPU.
    bool ShowsCpuFrames() const override { return true; }
    /// Copies the frame (engine thread) for the main thread, which blits it onto the window's
    /// surface; only the latest frame waiting is shown.
    void ShowFrame(const Pixel* pixels, int32_t width, int32_t height) override;

    /// The SDL window, null until CreateAppWindow; the platform owns it. Main thread.
    SDL_Window* Window() const { return window; }

  private:
    void ShowPendingTitle();
    void ShowPendingFrame();

    SDL_Window* window = nullptr;
    // Three event types registered at start-up: a new title is waiting, the engine thread is
    // done, and a software frame is ready to blit; (uint32_t)-1 until then.
    uint32_t titleEvent = static_cast<uint32_t>(-1);
    uint32_t quitEvent = static_cast<uint32_t>(-1);
    uint32_t frameEvent = static_cast<uint32_t>(-1);
    // Written before the engine thread's first frame, on the thread that makes the window or the
    // device; read by the engine thread after CreateGraphics.
    bool gpuSurface = true;
    // Set by the engine thread when it has finished; the quit event only wakes the loop up.
    std::atomic<bool> threadDone{false};
    // Only the latest title matters; the event merely tells the main thread to look.
    std::mutex titleMutex;
    std::string pendingTitle;
    // The latest software frame, copied on the engine thread and shown on the main thread; the
    // storage is reused from frame to frame.
    std::mutex frameMutex;
    std::vector<Pixel> pendingFrame;
    Vec2i pendingFrameSize{0, 0};
    bool framePending = false;
    // Touched by the event loop alone.
    SdlPads pads;
};

} // namespace dral
