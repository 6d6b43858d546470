#!/usr/bin/env python3
"""Crumbolt and the SDL platform when the world misbehaves, each case on a private Xvfb, each with
a bound on how long the program may take to end:
  music-missing, music-corrupt  the game runs silent and Escape ends it with status 0;
  no-audio                      SDL's audio driver cannot start: the same;
  no-glx                        the display has no GLX, so no GL context can be made: the game
                                shows its frames through the software renderer instead, and
                                Escape ends it with status 0;
  no-display                    there is no X server at all: Run fails, and the game ends by
                                itself, with status 0, within NO_DISPLAY_BOUND seconds;
  x-server-gone                 Xvfb is killed mid-run: the game ends within X_GONE_BOUND seconds;
  close-in-long-update          the window is closed while OnUpdate is busy for 3 s: OnDestroy
                                runs exactly once and the program exits with status 0.
Usage: faults.py CASE CRUMBOLT SDL_PROBE X11_CLOSE"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from xsession import PrivateX, fail, wait_for_window, xdo  # noqa: E402

NO_DISPLAY_BOUND = 10.0
X_GONE_BOUND = 5.0
EXIT_BOUND = 10.0


def wait_exit(proc, seconds, what):
    start = time.time()
    try:
        code = proc.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        fail(f"{what}: still running after {seconds} s")
    print(f"{what}: ended after {time.time() - start:.2f} s with status {code}", flush=True)
    return code


def game_copy(crumbolt, music):
    """The game in a folder of its own, beside `music` bytes as crumbolt.mp3 (None: no file)."""
    folder = tempfile.mkdtemp(prefix="crumbolt-fault-")
    shutil.copy(crumbolt, folder)
    if music is not None:
        with open(os.path.join(folder, "crumbolt.mp3"), "wb") as f:
            f.write(music)
    return folder, os.path.join(folder, os.path.basename(crumbolt))


def play_and_quit(x, game, folder, env, may_not_start=False):
    """Starts the game, sees it draw frames for two seconds, and ends it with a held Escape. With
    may_not_start, a game that ends before its first frame gives False instead of failing."""
    proc = subprocess.Popen([game], cwd=folder, env=env)
    try:
        window = wait_for_window(x.display, " - FPS: [1-9]", 30, proc)
        if not window and may_not_start and proc.poll() is not None:
            return False
        if not window:
            fail(f"the game showed no frames (status {proc.poll()})")
        time.sleep(2.0)
        if proc.poll() is not None:
            fail(f"the game ended by itself with status {proc.returncode}")
        xdo(x.display, "windowfocus", window)
        xdo(x.display, "keydown", "Escape")
        try:
            code = wait_exit(proc, EXIT_BOUND, "Escape")
        finally:
            xdo(x.display, "keyup", "Escape")
        if code != 0:
            fail(f"exit status {code}")
        return True
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


def silent_run(crumbolt, music):
    folder, game = game_copy(crumbolt, music)
    audio = os.path.join(folder, "audio.raw")
    with PrivateX() as x:
        play_and_quit(x, game, folder, x.env(SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=audio))
    if os.path.exists(audio) and any(open(audio, "rb").read()):
        fail("sound came out although there is no music to play")
    shutil.rmtree(folder)


def no_audio(crumbolt):
    folder, game = game_copy(crumbolt, open(os.path.join(os.path.dirname(crumbolt),
                                                         "crumbolt.mp3"), "rb").read())
    # The same rare end before the first frame as on a display without GLX (see no_glx): a second
    # start on a new display is allowed, and said.
    for attempt in (1, 2):
        with PrivateX() as x:
            env = x.env(SDL_AUDIODRIVER="no-such-driver")
            if play_and_quit(x, game, folder, env, may_not_start=True):
                shutil.rmtree(folder)
                return
        print(f"attempt {attempt}: the game ended before its first frame", flush=True)
    fail("the game showed no frames without an audio driver")


def no_glx(crumbolt):
    # Once in about twenty runs on a heavily loaded machine (seen only under AddressSanitizer, with
    # ThreadSanitizer suites running beside it) the game ended at once with status 0 on a fresh
    # display without GLX, before its first frame; not understood yet. A second start on a new
    # display is allowed, and said, so that the case still fails if it keeps happening.
    for attempt in (1, 2):
        with PrivateX(extra=["-extension", "GLX"]) as x:
            env = x.env(SDL_AUDIODRIVER="dummy")
            if play_and_quit(x, crumbolt, os.path.dirname(crumbolt), env, may_not_start=True):
                return
        print(f"attempt {attempt}: the game ended before its first frame", flush=True)
    fail("the game showed no frames on a display without GLX")


def no_display(crumbolt):
    # A display number no server listens on (and no TCP): opening it fails at once.
    env = dict(os.environ, DISPLAY=":65000", SDL_AUDIODRIVER="dummy")
    proc = subprocess.Popen([crumbolt], cwd=os.path.dirname(crumbolt), env=env)
    code = wait_exit(proc, NO_DISPLAY_BOUND, "without a display")
    if code != 0:
        fail(f"exit status {code}")


def x_server_gone(crumbolt):
    x = PrivateX()
    proc = subprocess.Popen([crumbolt], cwd=os.path.dirname(crumbolt),
                            env=x.env(SDL_AUDIODRIVER="dummy"))
    try:
        if not wait_for_window(x.display, " - FPS: [1-9]", 30, proc):
            fail("no game window")
        x.kill_server()
        code = wait_exit(proc, X_GONE_BOUND, "after the X server went away")
        if code < 0:
            fail(f"the game crashed with signal {-code}")
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        x.stop()


def close_in_long_update(probe, closer):
    with PrivateX() as x:
        log = tempfile.TemporaryFile(mode="w+")
        proc = subprocess.Popen([probe, "--slow-update", "3"], env=x.env(), stdout=log)

        def lines():
            log.seek(0)
            return log.read().splitlines()
        try:
            window = wait_for_window(x.display, " - FPS: ", 30, proc)
            deadline = time.time() + 30
            while "slow update" not in lines():
                if time.time() > deadline or proc.poll() is not None:
                    fail("the probe never reached its slow update")
                time.sleep(0.05)
            subprocess.run([closer, window], check=True, env=x.env())
            code = wait_exit(proc, EXIT_BOUND, "close during a long OnUpdate")
            got = lines()
            if code != 0:
                fail(f"exit status {code}")
            if "slow update done" not in got:
                fail("the slow update did not finish")
            destroys = [line for line in got if line.startswith("destroy")]
            if destroys != ["destroy 1"]:
                fail(f"OnDestroy ran as {destroys}, not once")
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()


def main():
    case, crumbolt, probe, closer = sys.argv[1], *map(os.path.abspath, sys.argv[2:5])
    if case == "music-missing":
        silent_run(crumbolt, None)
    elif case == "music-corrupt":
        silent_run(crumbolt, b"ID3 this is not an mp3 file " * 100)
    elif case == "no-audio":
        no_audio(crumbolt)
    elif case == "no-glx":
        no_glx(crumbolt)
    elif case == "no-display":
        no_display(crumbolt)
    elif case == "x-server-gone":
        x_server_gone(crumbolt)
    elif case == "close-in-long-update":
        close_in_long_update(probe, closer)
    else:
        fail(f"unknown case {case}")
    print("PASS", flush=True)


if __name__ == "__main__":
    main()
