"""A private Xvfb for one test: it picks a free display number itself (-displayfd), so runs in
parallel never collide, and it goes away with the test."""
import os
import subprocess
import tempfile
import time


class PrivateX:
    def __init__(self, geometry="960x600", extra=()):
        self.log = tempfile.TemporaryFile()
        read, write = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", geometry + "x24", "-nolisten", "tcp",
             *extra], pass_fds=(write,), stderr=self.log)
        os.close(write)
        number = b""
        deadline = time.time() + 20
        with os.fdopen(read, "rb") as pipe:
            while not number.endswith(b"\n") and time.time() < deadline:
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode().strip()

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
    """The id of the first window whose title matches name, or None after the time is up (or as
    soon as proc has ended)."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = xdo(display, "search", "--name", name).split()
        if found:
            return found[0]
        if proc is not None and proc.poll() is not None:
            return None
        time.sleep(0.1)
    return None
