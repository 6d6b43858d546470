// Platform_Windows: window class and window creation, the window procedure, the message loop,
// the title and the shutdown hand-over from the engine thread to the main thread.
#include "platform/windows/platform_windows.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "engine/platform_support.h"
#include "engine/tesserine.h"
#include "platform/windows/window_logic.h"

namespace dral {

namespace {

constexpr const char* WindowClassName = "DRAL_TESSERINE";

// Written by CreateAppWindow before the engine thread exists, read only by the window procedure;
// both run on the main thread.
win32::KeyMap keyMap;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages can come before an engine exists (a window made outside Run): leave them alone.
    if (Platform::engine != nullptr) {
        switch (win32::DispatchWindowMessage(*Platform::engine, keyMap, message, wParam, lParam)) {
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
    return CreateGraphicsOn(windowHandle, fullScreen, vsync, viewPos, viewSize);
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

ResultCode Platform_Windows::HandleSystemEvent() {
    return Fail;
}

} // namespace dral
