#include "platform/window/Shell.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace lumarra {

namespace {

constexpr const char* kDefaultOpener = "xdg-open";

}

bool ShellOpen(std::string_view target)
{
    if (target.empty() || target.find('\0') != std::string_view::npos)
        return false;
    const char* configured = std::getenv("LUMARRA_OPEN_COMMAND");
    std::string opener = configured && *configured ? configured : kDefaultOpener;
    std::string argument(target);
    // Everything the children need is made before forking: between fork
    // and exec only async-signal-safe calls are allowed.
    char* argv[] = { opener.data(), argument.data(), nullptr };
    int nullFd = open("/dev/null", O_RDWR | O_CLOEXEC);
    pid_t child = fork();
    if (child < 0) {
        if (nullFd >= 0)
            close(nullFd);
        return false;
    }
    if (child == 0) {
        // The grandchild runs the opener in a session of its own; the child
        // ends at once so nobody waits for the opener.
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) {
            // The opener keeps none of our output streams open.
            if (nullFd >= 0) {
                dup2(nullFd, STDIN_FILENO);
                dup2(nullFd, STDOUT_FILENO);
                dup2(nullFd, STDERR_FILENO);
            }
            execvp(argv[0], argv);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    if (nullFd >= 0)
        close(nullFd);
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}
