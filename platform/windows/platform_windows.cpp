// Platform_Windows: window class and window creation, the window procedure, the message loop,
// the title, the GDI blit of frames composed on the CPU, and the shutdown hand-over from the
// engine thread to the main thread.
// Needs: user32, gdi32, XInput (loaded at run time) and the engine.
#include "platform/windows/platform_windows.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <xinput.h>

#include "engine/platform_support.h"
#include "engine/tesserine.h"
#include "platform/windows/window_logic.h"
#include "platform/windows/xinput_logic.h"

namespace dral {

namespace {

constexpr const char* WindowClassName = "DRAL_TESSERINE";

// Written by CreateAppWindow before the engine thread exists, read only by the window procedure;
// both run on the main thread.
win32::KeyMap keyMap;

// XInputGetState, from whichever XInput library the system has; null when it has none.
using XInputGetStateFunction = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);
XInputGetStateFunction xinputGetState = nullptr;
// Polling a slot with nothing in it is slow, so empty slots are looked at only every so often.
constexpr uint32_t EmptySlotPollFrames = 60;
// Engine thread only.
bool slotConnected[win32::XInputSlots] = {};
uint32_t framesToSlotPoll = 0;

void LoadXInput() {
    for (const char* library : {"xinput1_4.dll", "xinput1_3.dll", "xinput9_1_0.dll"}) {
        if (HMODULE module = LoadLibraryA(library)) {
            xinputGetState = reinterpret_cast<XInputGetStateFunction>(
                reinterpret_cast<void*>(GetProcAddress(module, "XInputGetState")));
            if (xinputGetState) return;
        }
    }
}

void PollPads(Tesserine& engine) {
    if (!xinputGetState) return;
    const bool pollEmpty = framesToSlotPoll == 0;
    framesToSlotPoll = pollEmpty ? EmptySlotPollFrames : framesToSlotPoll - 1;
    for (DWORD slot = 0; slot < win32::XInputSlots; slot++) {
        if (!slotConnected[slot] && !pollEmpty) continue;
        XINPUT_STATE state{};
        slotConnected[slot] = xinputGetState(slot, &state) == ERROR_SUCCESS;
        const XINPUT_GAMEPAD& g = state.Gamepad;
        const win32::XInputGamepad pad{g.wButtons, g.bLeftTrigger, g.bRightTrigger, g.sThumbLX,
                                       g.sThumbLY, g.sThumbRX,     g.sThumbRY};
        win32::ReportXInputPad(engine, static_cast<int32_t>(slot),
                               slotConnected[slot] ? &pad : nullptr);
    }
}

// An ANSI window's character messages carry a byte of the ANSI code page; the engine takes UTF-16.
WPARAM CharacterAsUtf16(WPARAM wParam) {
    const char byte = static_cast<char>(wParam & 0xFF);
    wchar_t unit = 0;
    return MultiByteToWideChar(CP_ACP, 0, &byte, 1, &unit, 1) == 1 ? unit : 0;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages can come before an engine exists (a window made outside Run): leave them alone.
    if (Platform::engine != nullptr) {
        const WPARAM param = message == WM_CHAR ? CharacterAsUtf16(wParam) : wParam;
        switch (win32::DispatchWindowMessage(*Platform::engine, keyMap, message, param, lParam)) {
        case win32::MessageOutcome::Handled:
            return 0;
        case win32::MessageOutcome::PostQuit:
            PostQuitMessage(0);
            return 0;
        case win32::MessageOutcome::DefaultHandler:
            break;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = WindowClassName;
    // Registering again (a second window in one process) fails harmlessly.
    RegisterClassA(&windowClass);
}

} // namespace

ResultCode Platform_Windows::StartApplication() {
    return Ok;
}
ResultCode Platform_Windows::CleanUpApplication() {
    return Ok;
}
ResultCode Platform_Windows::StartThread() {
    LoadXInput();
    return Ok;
}

ResultCode Platform_Windows::CleanUpThread() {
    ReleaseGraphics();
    // The main thread answers WM_DESTROY with the quit message that ends its loop. Without a
    // window to take it, the quit goes to the main thread straight away: posted to no window, the
    // message would land in this thread's own queue and the main thread would wait forever.
    if (!windowHandle || !PostMessageA(static_cast<HWND>(windowHandle), WM_DESTROY, 0, 0))
        PostThreadMessageA(eventThread, WM_QUIT, 0, 0);
    return Ok;
}

ResultCode Platform_Windows::CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                                            const Vec2i& viewSize) {
    const ResultCode made = CreateGraphicsOn(windowHandle, fullScreen, vsync, viewPos, viewSize);
    if (made != Ok) gpuSurface = false;
    return made;
}

void Platform_Windows::ShowFrame(const Pixel* pixels, int32_t width, int32_t height) {
    const HWND window = static_cast<HWND>(windowHandle);
    if (!window || width <= 0 || height <= 0) return;
    win32::ToDibPixels(pixels, size_t(width) * size_t(height), dibPixels);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // negative: the top row comes first, as in the frame
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // GDI may draw on a window from a thread other than the one that made it.
    const HDC dc = GetDC(window);
    if (!dc) return;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), dibPixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(window, dc);
}

ResultCode Platform_Windows::CreateAppWindow(const Vec2i& position, Vec2i& size, bool fullScreen) {
    eventThread = GetCurrentThreadId();
    // Gives this thread its message queue now, so that a quit posted to it can never be lost.
    MSG none;
    PeekMessageA(&none, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterWindowClass(instance);

    const win32::WindowStyle style = win32::ChooseWindowStyle(fullScreen);
    Vec2i corner = position;
    if (fullScreen) {
        MONITORINFO display{};
        display.cbSize = sizeof(display);
        HMONITOR monitor =
            MonitorFromWindow(static_cast<HWND>(windowHandle), MONITOR_DEFAULTTONEAREST);
        if (!GetMonitorInfoA(monitor, &display)) return Fail;
        const RECT& r = display.rcMonitor;
        win32::CoverDisplay({r.left, r.top, r.right, r.bottom}, corner, size);
    }

    // The requested size is the client area; the frame grows around it.
    RECT frame{0, 0, size.x, size.y};
    AdjustWindowRectEx(&frame, style.style, FALSE, style.exStyle);
    const Vec2i outer = win32::OuterSize({frame.left, frame.top, frame.right, frame.bottom});

    windowHandle = CreateWindowExA(style.exStyle, WindowClassName, "", style.style, corner.x,
                                   corner.y, outer.x, outer.y, nullptr, nullptr, instance, this);
    // Without a window no event would ever reach the engine, and nothing could end the loop.
    if (!windowHandle) return Fail;
    win32::FillKeyMap(keyMap);
    return Ok;
}

ResultCode Platform_Windows::SetWindowTitle(const std::string& title) {
    // The bytes go as they are: Windows reads them in the ANSI code page.
    SetWindowTextA(static_cast<HWND>(windowHandle), title.c_str());
    return Ok;
}

ResultCode Platform_Windows::RunEventLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return Ok;
}

// XInput has no events: the pads are read at the start of every frame, just before the latch.
ResultCode Platform_Windows::HandleSystemEvent() {
    if (engine) PollPads(*engine);
    return Ok;
}

} // namespace dral
