"""Helpers of the end-to-end scripts that drive real programs on an X display: failing with a
message, polling for a condition, and a private Xvfb started race-free."""
import os
import subprocess
import sys
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


def start_xvfb(geometry, log_path):
    """A private display whose number the server picks itself (-displayfd), so that parallel
    runs never collide. Returns the server process and the DISPLAY value."""
    read_end, write_end = os.pipe()
    with open(log_path, "w") as log:
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                   geometry, "-nolisten", "tcp"], pass_fds=(write_end,),
                                  stderr=log)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        server.kill()
        fail("Xvfb did not start")
    return server, ":" + number
