// The reference for frames: the same picture shown full screen, letterboxed, through an SDL2
// renderer with a streaming texture updated every frame, without vertical sync; prints the frame
// rate.   frame_reference [FRAMES]
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "bench/frames/picture.h"
#include "bench/peers/floor.h"

int main(int argc, char** argv) {
    using namespace dral::bench;
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;
    class Canvas : public dral::Tesserine {
      public:
        bool OnUpdate(float) override { return true; }
    };
    auto canvas = MakeEngine<Canvas>(ScreenWidth, ScreenHeight);
    DrawPicture(*canvas);
    const dral::Sprite* picture = canvas->GetDrawTarget();

    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    // Full screen as the engine makes it, a borderless window over the display: without a window
    // manager SDL's desktop full screen keeps the window at the size asked for (800 x 600) while
    // reporting the display's, so its frames would fill less than half the pixels the engine's do.
    SDL_Rect display;
    if (SDL_GetDisplayBounds(0, &display) != 0) return 1;
    SDL_Window* window = SDL_CreateWindow("frame_reference", display.x, display.y, display.w,
                                          display.h, SDL_WINDOW_BORDERLESS);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!renderer) return 1;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) == 0)
        std::fprintf(stderr, "renderer: %s\n", info.name);
    SDL_RenderSetLogicalSize(renderer, ScreenWidth, ScreenHeight);
    SDL_Texture* texture = SDL_CreateTexture(
        renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STREAMING, ScreenWidth, ScreenHeight);
    FrameClock clock(frames);
    for (bool more = true; more;) {
        for (SDL_Event event; SDL_PollEvent(&event);) {
        }
        SDL_UpdateTexture(texture, nullptr, picture->pixels, ScreenWidth * 4);
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
        more = clock.Tick();
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
