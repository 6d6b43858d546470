#!/usr/bin/env python3
"""A Crumbolt session played on a private Xvfb with keys held through xdotool, recorded by
record-crumbolt, then replayed headless by replay-crumbolt: the replay must end with the same
frame count, score and player position, and give the same digest for every frame; its sound,
written with --audio, is the same file on every replay and leaves the digests as they were.

Usage: record_replay.py RECORD_CRUMBOLT REPLAY_CRUMBOLT MUSIC"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import PrivateX, fail, wait_for  # noqa: E402


def summary(text):
    """frames, score and player position from a program's closing line."""
    found = re.search(r"frames (\d+) seed (\d+) score (-?\d+) player (-?[\d.]+) (-?[\d.]+)", text)
    if not found:
        fail(f"no summary in {text!r}")
    return found.groups()


def play(record, work, env):
    recording, digests = os.path.join(work, "run.rec"), os.path.join(work, "live.txt")
    game = subprocess.Popen([record, recording, "--seed", "4242", "--digests", digests],
                            cwd=work, env=env, stdout=subprocess.PIPE, text=True)
    try:
        def xdo(*args):
            subprocess.run(["xdotool", *args], env=env, check=False, capture_output=True)

        window = wait_for("the window", lambda: subprocess.run(
            ["xdotool", "search", "--name", "Crumbolt"], env=env, capture_output=True,
            text=True).stdout.split(), 20)[0]
        xdo("windowfocus", "--sync", window)
        wait_for("the first frames", lambda: os.path.exists(digests) and
                 os.path.getsize(digests) > 1000, 20)
        # Keys held across many frames, one after the other and two together.
        for keys, seconds in ((["d"], 0.4), (["w"], 0.3), (["a", "s"], 0.3)):
            xdo("keydown", *keys)
            time.sleep(seconds)
            xdo("keyup", *keys)
        xdo("mousemove", "--window", window, "200", "150")
        xdo("click", "4")
        xdo("keydown", "Escape")
        try:
            out, _ = game.communicate(timeout=15)
        finally:
            xdo("keyup", "Escape")
    finally:
        if game.poll() is None:
            game.kill()
            game.wait()
    if game.returncode != 0:
        fail(f"record-crumbolt ended with status {game.returncode}")
    return recording, digests, summary(out)


def check_frames(replay, recording, work, frames):
    """Every 100th frame of a second replay, saved by the software renderer as an 800 x 600 PNG
    whose digests still match."""
    folder, digests = os.path.join(work, "frames"), os.path.join(work, "again.txt")
    os.mkdir(folder)
    done = subprocess.run([replay, recording, "--digests", digests, "--frames", folder,
                           "--every", "100"], capture_output=True, text=True, timeout=120)
    if done.returncode != 0:
        fail(f"replay-crumbolt --frames failed: {done.stderr.strip()}")
    names = sorted(os.listdir(folder))
    if names != [f"frame-{i:06d}.png" for i in range(0, frames, 100)]:
        fail(f"saved frames {names}")
    with open(os.path.join(folder, names[-1]), "rb") as png:
        header = png.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n" or header[16:24] != (800).to_bytes(4, "big") + \
            (600).to_bytes(4, "big"):
        fail("a saved frame is not an 800 x 600 PNG")
    if open(digests).read() != open(os.path.join(work, "replay.txt")).read():
        fail("the software renderer changed the replay's digests")
    if os.path.exists("/dev/full"):
        full = subprocess.run([replay, recording, "--digests", "/dev/full"],
                              capture_output=True, text=True, timeout=60)
        if full.returncode != 1 or "cannot write /dev/full" not in full.stderr:
            fail(f"digests written to a full disk were reported as written: {full.stderr}")


def check_audio(replay, recording, work, music):
    """Two replays with --audio, the music beside them, write the same audible WAV file."""
    folder = os.path.join(work, "sound")
    os.mkdir(folder)
    shutil.copy(music, os.path.join(folder, "crumbolt.mp3"))
    waves = []
    for name in ("one", "two"):
        digests = os.path.join(folder, name + ".txt")
        done = subprocess.run([replay, recording, "--digests", digests, "--audio", name + ".wav"],
                              cwd=folder, capture_output=True, text=True, timeout=120)
        if done.returncode != 0:
            fail(f"replay-crumbolt --audio failed: {done.stderr.strip()}")
        if open(digests).read() != open(os.path.join(work, "replay.txt")).read():
            fail("writing the sound changed the replay's digests")
        waves.append(open(os.path.join(folder, name + ".wav"), "rb").read())
    if waves[0] != waves[1]:
        fail("two replays of one recording sound different")
    if waves[0][:4] != b"RIFF" or waves[0][8:16] != b"WAVEfmt " or len(waves[0]) < 48000:
        fail(f"the sound is no WAV file of the run ({len(waves[0])} bytes)")
    if waves[0][44:].count(0) == len(waves[0]) - 44:
        fail("the replay's sound is silent")
    return len(waves[0]) - 44


def main():
    record, replay = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp(prefix="crumbolt-replay-")
    display = None
    try:
        display = PrivateX("800x600x24")
        env = display.env(SDL_AUDIODRIVER="dummy")
        recording, live_digests, live = play(record, work, env)
        print("live run: frames %s seed %s score %s player %s %s" % live, flush=True)
        if live[3:] == ("400", "300"):
            fail("the held keys never moved the player")

        replay_digests = os.path.join(work, "replay.txt")
        done = subprocess.run([replay, recording, "--digests", replay_digests],
                              capture_output=True, text=True, timeout=60)
        if done.returncode != 0:
            fail(f"replay-crumbolt failed: {done.stderr.strip()}")
        replayed = summary(done.stderr)
        print("replay:   frames %s seed %s score %s player %s %s" % replayed, flush=True)
        if replayed != live:
            fail("the replay ends differently from the live run")
        with open(live_digests) as a, open(replay_digests) as b:
            live_lines, replay_lines = a.read().splitlines(), b.read().splitlines()
        if len(live_lines) != int(live[0]):
            fail("the live run did not write one digest per frame")
        for i, (x, y) in enumerate(zip(live_lines, replay_lines)):
            if x != y:
                fail(f"frame {i} differs: live {x}, replay {y}")
        if len(live_lines) != len(replay_lines):
            fail(f"{len(live_lines)} live digests, {len(replay_lines)} replayed")
        check_frames(replay, recording, work, int(live[0]))
        sound = check_audio(replay, recording, work, os.path.abspath(sys.argv[3]))
        print(f"PASS: {len(live_lines)} frames, identical digests, {sound} bytes of sound",
              flush=True)
    finally:
        if display:
            display.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
