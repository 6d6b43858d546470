// Crumbolt's entry point: seeds the random boxes from the clock and runs the game full screen.
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "game/crumbolt.h"

int main() {
    std::srand(static_cast<uint32_t>(std::time(nullptr)));
    crumbolt::Crumbolt game;
    if (game.Setup(crumbolt::GameScreenWidth, crumbolt::GameScreenHeight, 1, 1, true, false) ==
        dral::Ok)
        game.Run();
    return 0;
}
