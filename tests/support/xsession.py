"""Helpers of the end-to-end scripts that drive real programs on an X display: failing with a
message, polling for a condition, a private Xvfb started race-free, and xdotool."""
import os
import subprocess
import sys
import tempfile
import time


def fail(message):
    print("FAIL:", message, flush=True)
    sys.exit(1)


def wait_for(what, condition, seconds):
    """The first true result of condition(), polled for up to seconds; fails on a timeout."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    fail(f"timed out waiting for {what}")


def start_xvfb(geometry, log_path, extra=()):
    """A private display whose number the server picks itself (-displayfd), so that parallel
    runs never collide. Returns the server process and the DISPLAY value."""
    read_end, write_end = os.pipe()
    with open(log_path, "w") as log:
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                   geometry, "-nolisten", "tcp", *extra], pass_fds=(write_end,),
                                  stderr=log)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        server.kill()
        fail("Xvfb did not start")
    return server, ":" + number


class PrivateX:
    """start_xvfb as a context: the server goes away with the block, and env() gives a child
    process the display."""

    def __init__(self, geometry="960x600x24", extra=()):
        self.log = tempfile.NamedTemporaryFile(prefix="xvfb-", suffix=".log")
        self.proc, self.display = start_xvfb(geometry, self.log.name, extra)

    def env(self, **extra):
        return dict(os.environ, DISPLAY=self.display, DBUS_SESSION_BUS_ADDRESS="disabled:", **extra)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def xdo(display, *args):
    """Runs xdotool on the display; returns its output, or '' when it fails."""
    result = subprocess.run(["xdotool", *args], capture_output=True, text=True,
                            env=dict(os.environ, DISPLAY=display), timeout=20)
    return result.stdout.strip() if result.returncode == 0 else ""


def wait_for_window(display, name, seconds, proc=None):
    """The id of the first window whose title matches name, or None once the time is up or proc
    has ended."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = xdo(display, "search", "--name", name).split()
        if found:
            return found[0]
        if proc is not None and proc.poll() is not None:
            return None
        time.sleep(0.1)
    return None
