// Test support: a private X server for the process, from tools/with-xvfb (the project's one
// launcher, race-free through -displayfd), held open by a child that waits on a pipe; DISPLAY is
// pointed at it. Needs TESSERINE_WITH_XVFB, the launcher's path, defined by the build.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace dral::testing {

class PrivateXvfb {
  public:
    // Starts a server with one screen of the given geometry ("WxHxD"). Started() tells whether
    // it came up.
    explicit PrivateXvfb(const char* screen = "640x480x24") {
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0) return;
        if (pipe(fromChild) != 0) {
            close(toChild[0]);
            close(toChild[1]);
            return;
        }
        pid = fork();
        if (pid == 0) {
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            close(toChild[1]);
            close(fromChild[0]);
            execl(TESSERINE_WITH_XVFB, TESSERINE_WITH_XVFB, screen, "sh", "-c",
                  "echo \"$DISPLAY\"; exec cat >/dev/null", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        hold = toChild[1];
        // Programs the test starts later must not inherit the pipe and keep the server alive.
        fcntl(hold, F_SETFD, FD_CLOEXEC);
        std::string name;
        char c;
        while (read(fromChild[0], &c, 1) == 1 && c != '\n') name += c;
        close(fromChild[0]);
        if (pid <= 0 || name.empty()) return;
        display = name;
        setenv("DISPLAY", display.c_str(), 1);
        // No session bus under Xvfb: SDL must not wait for one.
        setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    }
    // Closing the pipe ends the child; the launcher then stops the server before it exits.
    ~PrivateXvfb() {
        if (hold >= 0) close(hold);
        if (pid > 0) waitpid(pid, nullptr, 0);
    }
    PrivateXvfb(const PrivateXvfb&) = delete;
    PrivateXvfb& operator=(const PrivateXvfb&) = delete;

    bool Started() const { return !display.empty(); }

    std::string display;

  private:
    pid_t pid = -1;
    int hold = -1;
};

} // namespace dral::testing
