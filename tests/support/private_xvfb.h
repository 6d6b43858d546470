// Test support: a private X server for the process. Xvfb picks a free display number itself and
// writes it to a pipe (-displayfd), so parallel tests never collide; DISPLAY is pointed at it.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace dral::testing {

class PrivateXvfb {
  public:
    // Starts "Xvfb -displayfd" with one screen of the given geometry ("WxHxD"); extra is one
    // more argument, such as "-extension" with extraValue "GLX". Started() tells whether it came
    // up.
    explicit PrivateXvfb(const char* screen = "640x480x24", const char* extra = nullptr,
                         const char* extraValue = nullptr) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const char* argv[] = {"Xvfb",      "-displayfd", fd.c_str(), "-screen",  "0",    screen,
                                  "-nolisten", "tcp",        extra,      extraValue, nullptr};
            execvp("Xvfb", const_cast<char* const*>(argv));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (pid <= 0 || number.empty()) return;
        display = ":" + number;
        setenv("DISPLAY", display.c_str(), 1);
        // No session bus under Xvfb: SDL must not wait for one.
        setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    }
    ~PrivateXvfb() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    PrivateXvfb(const PrivateXvfb&) = delete;
    PrivateXvfb& operator=(const PrivateXvfb&) = delete;

    bool Started() const { return !display.empty(); }

    std::string display;

  private:
    pid_t pid = -1;
};

} // namespace dral::testing
