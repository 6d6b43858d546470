#!/usr/bin/env python3
"""Crumbolt soak under a private Xvfb: random held W, A, S, D and Space, and focus moving to
another window and back, for a given time. Resident memory and the frame rate (from the window
title) are sampled at a fixed interval; after the warm-up the memory must be flat and the frame
rate must not decay. The rate is judged per second of the game's own CPU time, so that other work
on a shared machine does not pass for a decay. Escape then ends the game, which must exit with
status 0.

Usage: soak.py CRUMBOLT SECONDS [SAMPLE_INTERVAL [FPS_KEEP]]   (tools/soak runs the 10-minute
version; ./test runs 30 s with a looser FPS_KEEP, because over so short a run the tests started
beside it change the CPU cost of a frame by a third)"""
import os
import random
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from xsession import PrivateX, fail, wait_for_window, xdo  # noqa: E402

KEYS = ["w", "a", "s", "d", "space"]
# Memory may grow by at most this much per minute once warm; a leak of one small allocation per
# frame (about 150 frames a second) would be far above it.
SLOPE_LIMIT_KIB_PER_MIN = 512
# Frames per CPU second in the last third may not fall below this share of the first third's
# (the default; a fourth argument overrides it).
FPS_KEEP = 0.7


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def slope_per_minute(samples):
    """Least-squares slope of (seconds, KiB) samples, in KiB per minute."""
    n = len(samples)
    if n < 2:
        return 0.0
    mt = sum(t for t, _ in samples) / n
    mv = sum(v for _, v in samples) / n
    den = sum((t - mt) ** 2 for t, _ in samples)
    return 60.0 * sum((t - mt) * (v - mv) for t, v in samples) / den if den else 0.0


def median(values):
    values = sorted(values)
    return values[len(values) // 2] if values else 0


class Player:
    """Holds random keys for random spells and moves the focus away and back now and then."""

    def __init__(self, display, game, other, rng):
        self.display, self.game, self.other, self.rng = display, game, other, rng
        self.held = set()
        self.next_change = 0.0
        self.focus_changes = 0

    def step(self, now):
        if now < self.next_change:
            return
        self.next_change = now + self.rng.uniform(0.1, 1.0)
        roll = self.rng.random()
        if roll < 0.08:
            xdo(self.display, "windowfocus", self.other)
            time.sleep(self.rng.uniform(0.1, 0.5))
            xdo(self.display, "windowfocus", self.game)
            self.focus_changes += 1
            return
        key = self.rng.choice(KEYS)
        if key in self.held:
            xdo(self.display, "keyup", key)
            self.held.discard(key)
        else:
            xdo(self.display, "keydown", key)
            self.held.add(key)

    def release_all(self):
        for key in sorted(self.held):
            xdo(self.display, "keyup", key)
        self.held.clear()


def main():
    game = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2])
    interval = float(sys.argv[3]) if len(sys.argv) > 3 else 10.0
    keep = float(sys.argv[4]) if len(sys.argv) > 4 else FPS_KEEP
    warm_up = min(60.0, seconds / 3)
    rng = random.Random(int(os.environ.get("SOAK_SEED", "1")))
    with PrivateX() as x:
        # Another window to take the focus away from the game.
        other = subprocess.Popen(["xmessage", "-geometry", "+0+0", "focus thief"], env=x.env(),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        proc = subprocess.Popen([game], cwd=os.path.dirname(game),
                                env=x.env(SDL_AUDIODRIVER="dummy"))
        try:
            thief = wait_for_window(x.display, "xmessage", 20)
            window = wait_for_window(x.display, " - FPS: ", 30, proc)
            if not window or not thief:
                fail("no game window" if not window else "no second window")
            xdo(x.display, "windowfocus", window)
            player = Player(x.display, window, thief, rng)
            start = time.time()
            next_sample, next_memory = start + 1.0, start
            last_cpu, last_time = cpu_seconds(proc.pid), start
            memory, rates = [], []
            while (now := time.time()) - start < seconds:
                if proc.poll() is not None:
                    fail(f"the game ended by itself with status {proc.returncode}")
                if now >= next_sample:
                    next_sample += 1.0
                    fps = re.search(r" - FPS: (\d+)", xdo(x.display, "getwindowname", window))
                    cpu = cpu_seconds(proc.pid)
                    share = (cpu - last_cpu) / (now - last_time)
                    last_cpu, last_time = cpu, now
                    if fps and share > 0:
                        rates.append((now - start, int(fps.group(1)), int(fps.group(1)) / share))
                if now >= next_memory:
                    next_memory += interval
                    memory.append((now - start, rss_kib(proc.pid)))
                    print(f"t {now - start:6.1f} s  rss {memory[-1][1]} KiB  fps "
                          f"{rates[-1][1] if rates else 0}", flush=True)
                player.step(now)
                time.sleep(0.02)
            player.release_all()
            xdo(x.display, "windowfocus", window)
            xdo(x.display, "keydown", "Escape")
            try:
                code = proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                fail("Escape did not end the game")
            finally:
                xdo(x.display, "keyup", "Escape")
            report(memory, rates, warm_up, player.focus_changes, code, keep)
        finally:
            for p in (proc, other):
                if p.poll() is None:
                    p.kill()
                    p.wait()


def report(memory, rates, warm_up, focus_changes, code, keep):
    warm = [(t, v) for t, v in memory if t >= warm_up]
    slope = slope_per_minute(warm)
    warm_rates = [r for r in rates if r[0] >= warm_up]
    third = max(1, len(warm_rates) // 3)
    first = median([r[2] for r in warm_rates[:third]])
    last = median([r[2] for r in warm_rates[-third:]])
    wall = median([r[1] for r in warm_rates])
    print(f"memory slope after {warm_up:.0f} s warm-up: {slope:.1f} KiB/min "
          f"(bound {SLOPE_LIMIT_KIB_PER_MIN}); rss {warm[0][1] if warm else 0} -> "
          f"{warm[-1][1] if warm else 0} KiB", flush=True)
    print(f"frames per CPU second, median of the first and last third: {first:.0f} -> {last:.0f} "
          f"(kept {last / first if first else 0:.2f}, bound {keep}); median frame rate {wall}; "
          f"focus changes {focus_changes}; exit status {code}", flush=True)
    if slope > SLOPE_LIMIT_KIB_PER_MIN:
        fail("resident memory grows")
    if not first or last < keep * first:
        fail("the frame rate decays")
    if code != 0:
        fail(f"exit status {code}")
    print("PASS", flush=True)


if __name__ == "__main__":
    main()
