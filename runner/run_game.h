// RunGame: the one call a game's main makes to run, with the options every game on the engine
// understands (bounded headless runs, a screenshot, recording and replaying) read from its
// command line. Part of dral::tesserine and dral::tesserine_headless, not of the core alone.
#pragma once

#include "engine/tesserine.h"

namespace dral {

/// Runs `game`, already Setup, as its command line asks, and returns the process exit code:
/// - no options: Run on the build's default back-ends (the desktop window);
/// - `--frames N`: N frames on the back-ends without a display, then a clean stop;
/// - `--headless`: on the back-ends without a display until the game ends itself;
/// - `--screenshot FILE`: on the software renderer without a display (with --frames N for a
///   bounded run), saving the last frame as a PNG file when the run ends;
/// - `--record FILE`: records the run into FILE (seeded from the clock), on any back-ends;
/// - `--replay FILE`: replays a recording on the back-ends without a display, instead of a run;
/// - `--help`: prints these options and runs nothing.
/// Exit codes: 0 after a run as asked; 1 when the run could not start, ended before its N
/// frames (OnCreate returned false, say), or its screenshot, recording or replay failed; 2 for a
/// command line not understood, with the options printed. Main thread, once per game.
int RunGame(Tesserine& game, int argc, char** argv);

} // namespace dral
