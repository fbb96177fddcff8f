#pragma once

#include "platform/window/Application.h"

#include <string>

namespace lumarra {

// The application object: the whole run happens inside InitInstance, which
// either prebuilds the picture cache ("/REGIST" anywhere on the command
// line, in any case) or opens the game and returns when it is closed.
class CGameApp : public Application {
public:
    static constexpr int kMinimumScreenWidth = 1024;

    explicit CGameApp(std::string commandLine)
        : m_commandLine(std::move(commandLine))
    {
    }

    // Always false: the program ends when it returns.
    bool InitInstance() override;

    // The program's exit status once InitInstance has returned: not 0 when
    // there was no display to play on, or "/REGIST" could not write every
    // cache file (each is named on stderr, with the reason).
    int GetExitCode() const { return m_exitCode; }

    // Whether the command line asks for the cache to be prebuilt.
    static bool HasRegistSwitch(std::string_view commandLine);

private:
    int PrebuildCache();
    bool ConfirmSmallScreen();
    void RunGame();

    std::string m_commandLine;
    int m_exitCode = 0;
};

}
