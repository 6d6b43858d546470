#!/usr/bin/env python3
"""Crumbolt end to end under Xvfb with the real SDL platform, GL renderer and audio: the
letterboxed picture, D moving the square, steering into a box, Space restarting, Escape quitting
with status 0, and the music (captured by SDL's disk audio driver) stopping on the death screen.

Usage: end_to_end.py PATH_TO_CRUMBOLT, on a 960 x 600 display, where the 800 x 600 screen shows
1:1 between two 80-pixel black bars."""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from xsession import fail, wait_for  # noqa: E402

SCREEN_W, SCREEN_H, BAR = 960, 600, 80
BLUE, WHITE, RED = b"\x00\x00\xff", b"\xff\xff\xff", b"\xff\x00\x00"
BYTES_PER_SECOND = 44100 * 2 * 2


class Shot:
    """One screenshot of the root window as packed RGB rows."""

    def __init__(self):
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                             check=True, capture_output=True).stdout
        fields, pos = [], 0
        while len(fields) < 4:  # magic, width, height, maximum value
            while ppm[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[pos:end])
            pos = end
        self.w, self.h = int(fields[1]), int(fields[2])
        self.data = ppm[pos + 1:]
        if (self.w, self.h) != (SCREEN_W, SCREEN_H):
            fail(f"display is {self.w}x{self.h}")

    def find(self, colour, x0=0, y0=0, x1=SCREEN_W, y1=SCREEN_H):
        """Screen coordinates of the pixels of exactly this colour inside [x0, x1) x [y0, y1)."""
        found = []
        for y in range(y0, y1):
            row = self.data[(y * self.w + x0) * 3:(y * self.w + x1) * 3]
            i = row.find(colour)
            while i >= 0:
                if i % 3 == 0:
                    found.append((x0 + i // 3, y))
                    i = row.find(colour, i + 3)
                else:
                    i = row.find(colour, i + 1)
        return found

    def player(self):
        blue = self.find(BLUE, BAR, 0, SCREEN_W - BAR)
        if not blue:
            return None
        return min(x for x, _ in blue) - BAR, min(y for _, y in blue)

    def dead(self):
        return bool(self.find(RED, BAR, 150, SCREEN_W - BAR, 215))

    def boxes(self):
        """Bounding boxes (x0, y0, x1, y1) of the white outlines, without the score text."""
        clusters = []
        for x, y in self.find(WHITE, BAR, 0, SCREEN_W - BAR):
            x -= BAR
            if x >= 690 and y <= 30:
                continue
            for c in clusters:
                if c[0] - 2 <= x <= c[2] + 2 and c[1] - 2 <= y <= c[3] + 2:
                    c[0], c[1], c[2], c[3] = min(c[0], x), min(c[1], y), max(c[2], x), max(c[3], y)
                    break
            else:
                clusters.append([x, y, x, y])
        return clusters


def xdo(*args):
    subprocess.run(["xdotool", *args], check=False, capture_output=True)


def audio_between(path, start, end):
    """Largest absolute 16-bit sample in bytes [start, end) of the captured audio."""
    with open(path, "rb") as f:
        f.seek(start - start % 4)
        data = f.read(end - start)
    samples = memoryview(data[: len(data) // 2 * 2]).cast("h")
    return max((abs(s) for s in samples), default=0)


def restart_if_dead():
    if Shot().dead():
        xdo("keydown", "space")
        wait_for("a fresh run", lambda: not Shot().dead(), 10)
        xdo("keyup", "space")


def steer_into_a_box(seconds):
    """Steers across toward the box that will reach the player's row soonest, until it dies."""
    held = None
    deadline = time.time() + seconds
    while time.time() < deadline:
        shot = Shot()
        if shot.dead():
            if held:
                xdo("keyup", held)
            return shot
        me = shot.player()
        if not me:
            continue
        px, py = me
        # A box is reachable when its horizontal distance is shorter than its fall to the player.
        targets = [(b[0] + b[2]) // 2 - (px + 10) for b in shot.boxes()
                   if b[3] < py and abs((b[0] + b[2]) // 2 - (px + 10)) < py - b[3]]
        want = None
        if targets:
            dx = min(targets, key=abs)
            want = "d" if dx > 4 else "a" if dx < -4 else None
        if want != held:
            if held:
                xdo("keyup", held)
            if want:
                xdo("keydown", want)
            held = want
    if held:
        xdo("keyup", held)
    fail("the player never touched a box")


def main():
    game = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="crumbolt-e2e-")
    audio = os.path.join(work, "audio.raw")
    env = dict(os.environ, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=audio,
               DBUS_SESSION_BUS_ADDRESS="disabled:")
    # The game opens its music by bare name: run it where the build put crumbolt.mp3.
    proc = subprocess.Popen([game], cwd=os.path.dirname(game), env=env)
    try:
        window = wait_for("the window", lambda: subprocess.run(
            ["xdotool", "search", "--name", "Crumbolt"], capture_output=True,
            text=True).stdout.split(), 20)[0]
        xdo("windowfocus", window)
        wait_for("the first frame", lambda: Shot().player(), 20)
        restart_if_dead()

        shot = Shot()
        if shot.find(BLUE, 0, 0, BAR) or shot.find(WHITE, 0, 0, BAR) or \
                shot.find(BLUE, SCREEN_W - BAR) or shot.find(WHITE, SCREEN_W - BAR):
            fail("the bars beside the 4:3 picture are not black")
        if not shot.find(WHITE, BAR + 700, 20, BAR + 800, 28):
            fail("no white score text at (700, 20)")
        start = shot.player()
        print("player at", start, flush=True)

        size = os.path.getsize(audio)
        time.sleep(1.0)
        if audio_between(audio, size, os.path.getsize(audio)) < 1000:
            fail("the music is silent while playing")

        xdo("keydown", "d")
        time.sleep(0.3)
        xdo("keyup", "d")
        shot = Shot()
        moved = shot.player()
        if not shot.dead() and (not moved or moved[0] <= start[0]):
            fail(f"holding D did not move the square right: {start} -> {moved}")
        print("after D, player at", moved, flush=True)

        steer_into_a_box(90)
        print("died", flush=True)
        time.sleep(0.5)  # let the buffered music drain
        size = os.path.getsize(audio)
        time.sleep(1.0)
        if not Shot().dead():
            fail("the death screen did not stay")
        loudest = audio_between(audio, size, os.path.getsize(audio))
        if loudest != 0:
            fail(f"the music plays on the death screen (peak {loudest})")

        xdo("keydown", "space")
        wait_for("a fresh run", lambda: not Shot().dead(), 10)
        xdo("keyup", "space")
        fresh = Shot()
        if fresh.player() != (400, 300) and not fresh.dead():
            fail(f"the fresh run starts at {fresh.player()}, not (400, 300)")

        xdo("keydown", "Escape")
        try:
            code = proc.wait(timeout=5)
        finally:
            xdo("keyup", "Escape")
        if code != 0:
            fail(f"exit status {code}")
        print("PASS", flush=True)
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


if __name__ == "__main__":
    main()
