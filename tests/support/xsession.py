"""Helpers of the end-to-end scripts that drive real programs on an X display: failing with a
message, polling for a condition, a private Xvfb started race-free, and xdotool."""
import os
import signal
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


WITH_XVFB = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                         "with-xvfb")


class PrivateX:
    """A private display from tools/with-xvfb, the project's one launcher, held open by a child
    that waits on its stdin: stop() (or the end of a with block) closes that, the child ends and
    with-xvfb stops the server. env() gives a child process the display; kill_server() takes the
    server away abruptly, as a crashing X server would."""

    def __init__(self, geometry="960x600x24", extra=()):
        command = [WITH_XVFB, *[a for e in extra for a in ("-x", e)], geometry,
                   "sh", "-c", 'echo "$DISPLAY $XVFB_PID"; exec cat >/dev/null']
        self.log = tempfile.TemporaryFile(mode="w+")
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=self.log, text=True)
        started = self.proc.stdout.readline().split()
        if len(started) != 2:
            self.stop()
            self.log.seek(0)
            fail(f"Xvfb did not start: {self.log.read().strip()}")
        self.display, self.server_pid = started[0], int(started[1])

    def env(self, **extra):
        return dict(os.environ, DISPLAY=self.display, DBUS_SESSION_BUS_ADDRESS="disabled:", **extra)

    def kill_server(self):
        os.kill(self.server_pid, signal.SIGKILL)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.stdin.close()
            try:
                self.proc.wait(timeout=10)
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
