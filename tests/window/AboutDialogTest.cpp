#include "app/CAboutDlg.h"
#include "game/StringIds.h"
#include "platform/Resources.h"
#include "platform/gdi/Font.h"
#include "platform/window/Shell.h"
#include "tests/window/WindowTestSupport.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

// An opener that writes what it was given into a file.
class RecordingOpener {
public:
    RecordingOpener()
    {
        m_folder = std::filesystem::temp_directory_path() / ("lumarra_open_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        std::filesystem::path script = m_folder / "open.sh";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << (m_folder / "opened.tmp").string() << "'\nmv '"
                              << (m_folder / "opened.tmp").string() << "' '" << (m_folder / "opened").string() << "'\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        setenv("LUMARRA_OPEN_COMMAND", script.c_str(), 1);
    }
    ~RecordingOpener()
    {
        unsetenv("LUMARRA_OPEN_COMMAND");
        std::filesystem::remove_all(m_folder);
    }
    std::string Opened() const
    {
        std::ifstream in(m_folder / "opened");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path m_folder;
};

}

class AboutBox : public WindowTest { };

TEST_F(AboutBox, ShowsVersionCreditsAndALinkThatOpensTheHomePage)
{
    RecordingOpener opener;
    CAboutDlg about;
    int step = 0;
    std::string version;
    std::string credits;
    std::string copyright;
    bool underlined = false;
    Driver driver([&] {
        if (!about.IsWindowVisible())
            return false;
        if (step++ == 0) {
            version = about.GetDlgItem(1025)->GetWindowText();
            credits = about.GetDlgItem(1026)->GetWindowText();
            copyright = about.GetDlgItem(1027)->GetWindowText();
            Window* link = about.GetDlgItem(1035);
            underlined = link->GetFont() && link->GetFont()->GetLogFont().underline;
            ClickMouse(*link, { 3, 3 });
            return false;
        }
        if (opener.Opened().empty() && step < 400)
            return false;
        PressKey(SDLK_RETURN);
        return true;
    });
    EXPECT_EQ(about.DoModal(), IDOK);
    char expected[64];
    std::snprintf(expected, sizeof expected, "Velmora\nLumarra Version %d.%d", LUMARRA_VERSION_MAJOR,
        LUMARRA_VERSION_MINOR);
    EXPECT_EQ(version, expected);
    EXPECT_EQ(credits, LoadString(kStringAboutCredits));
    EXPECT_FALSE(credits.empty());
    EXPECT_EQ(copyright, LoadString(kStringAboutCopyright));
    EXPECT_TRUE(underlined);
    EXPECT_EQ(opener.Opened(), CAboutDlg::kHomePage);
}

TEST(ShellOpen, NeverWaitsForTheOpenerAndIgnoresItsFailure)
{
    setenv("LUMARRA_OPEN_COMMAND", "/bin/sleep", 1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(ShellOpen("5"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    setenv("LUMARRA_OPEN_COMMAND", "/nonexistent/opener", 1);
    EXPECT_TRUE(ShellOpen("https://lumarra.example.org/"));
    unsetenv("LUMARRA_OPEN_COMMAND");
    EXPECT_FALSE(ShellOpen(""));
}
