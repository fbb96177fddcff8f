// Files beside a program folder that its user cannot write, as in an
// installed copy: each case runs in a child process as a user other than
// root (root may write anywhere), with its own home.
#include "support/FileIo.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestScopes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

// Unprivileged users to run as when the suite runs as root: "nobody" and the
// id below it, which needs no account of its own.
constexpr uid_t kFirstUser = 65534;
constexpr uid_t kSecondUser = 65533;

std::string ContentOf(const std::string& nativePath)
{
    std::ifstream in(nativePath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string("<missing>");
}

void Put(const std::string& nativePath, const std::string& content)
{
    std::ofstream(nativePath, std::ios::binary) << content;
}

bool Check(bool ok, const char* what)
{
    if (!ok)
        std::fprintf(stderr, "failed: %s\n", what);
    return ok;
}

class UserFiles : public ::testing::Test {
protected:
    UserFiles()
    {
        // The folders below must be reachable by the unprivileged users.
        ::chmod(m_root.GetNative().c_str(), 0755);
        std::filesystem::create_directories(Program("Data"));
        Put(Program("Data/Sound01.mp3"), "program sound");
        Put(Program("Score.dat"), "program scores");
        ::chmod(Program("Data").c_str(), 0555);
        ::chmod(Program().c_str(), 0555);
    }
    ~UserFiles() override
    {
        ::chmod(Program("Data").c_str(), 0755);
        ::chmod(Program().c_str(), 0755);
    }

    std::string Program(const std::string& name = {}) const
    {
        return m_root.Native("program") + (name.empty() ? "" : "/" + name);
    }
    std::string Internal(const std::string& name) const { return m_root.Internal("program\\" + name); }

    // A home of its own for `user`, who owns it.
    std::string MakeHome(const std::string& name, uid_t user) const
    {
        std::string home = m_root.Native(name);
        std::filesystem::create_directories(home);
        if (::geteuid() == 0 && ::chown(home.c_str(), user, user) != 0)
            return {};
        return home;
    }

    // Runs `work` as `user` (as oneself when not root) with HOME at `home`.
    template <typename Work>
    bool RunAs(uid_t user, const std::string& home, Work work) const
    {
        pid_t pid = Spawn([&] {
            if (::geteuid() == 0 && (::setgid(user) != 0 || ::setuid(user) != 0))
                return Check(false, "dropping root");
            ::setenv("HOME", home.c_str(), 1);
            ::setenv("LUMARRA_HOME", Program().c_str(), 1);
            return work();
        });
        int status = WaitFor(pid);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    EnvironmentScope m_dataHome { "XDG_DATA_HOME", nullptr };
    TestFolder m_root;
};

TEST_F(UserFiles, FirstStartReadsTheProgramsFilesAndWritesIntoTheUsersFolder)
{
    std::string home = MakeHome("home", kFirstUser);
    ASSERT_FALSE(home.empty());
    EXPECT_TRUE(RunAs(kFirstUser, home, [&] {
        size_t length = 0;
        bool ok = Check(ReadTextFile(Internal("Data\\Sound01.mp3")) == "program sound", "program file read");
        ok &= Check(!FileExists(Internal("startup.ini")), "no settings file yet");
        ok &= Check(ReadWholeFile(Internal("startup.ini"), length) == nullptr, "missing file read fails");
        ok &= Check(WriteTextFile(Internal("startup.ini"), "NoWelcome") == 1, "settings file written");
        ok &= Check(FileExists(Internal("startup.ini")) == 1, "settings file seen");
        ok &= Check(ReadTextFile(Internal("startup.ini")) == "NoWelcome", "settings file read back");
        // The picture cache's folder does not exist yet in the user's folder.
        ok &= Check(WriteTwoParts(Internal("Data\\0000012B.dat"), "head", 4, "pixels", 6) == 1, "cache written");
        ok &= Check(ReadTextFile(Internal("Data\\0000012B.dat")) == "headpixels", "cache read back");
        return ok;
    }));
    std::string own = home + "/.local/share/lumarra";
    EXPECT_EQ(ContentOf(own + "/startup.ini"), "NoWelcome");
    EXPECT_EQ(ContentOf(own + "/Data/0000012B.dat"), "headpixels");
    EXPECT_EQ(ContentOf(Program("startup.ini")), "<missing>");
    EXPECT_EQ(ContentOf(Program("Data/0000012B.dat")), "<missing>");
}

TEST_F(UserFiles, TheUsersCopyHidesTheProgramsAndOnlyItCanBeDeleted)
{
    std::string home = MakeHome("home", kFirstUser);
    ASSERT_FALSE(home.empty());
    EXPECT_TRUE(RunAs(kFirstUser, home, [&] {
        bool ok = Check(WriteWholeFile(Internal("Score.dat"), "user scores", 11) == 1, "scores written");
        ok &= Check(ReadTextFile(Internal("Score.dat")) == "user scores", "user's copy read");
        char part[5] = {};
        ok &= Check(ReadFileAt(Internal("Score.dat"), part, 5, 4) == 4 && std::string(part) == "scor", "read at");
        ok &= Check(DeleteFile(Internal("Score.dat")) == 1, "user's copy deleted");
        ok &= Check(ReadTextFile(Internal("Score.dat")) == "program scores", "program's copy again");
        ok &= Check(DeleteFile(Internal("Score.dat")) == 0, "program's copy stays");
        return ok;
    }));
    EXPECT_EQ(ContentOf(Program("Score.dat")), "program scores");
}

TEST_F(UserFiles, ASecondUserSeesOnlyTheProgramsFiles)
{
    std::string first = MakeHome("first", kFirstUser);
    std::string second = MakeHome("second", kSecondUser);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_TRUE(RunAs(kFirstUser, first,
        [&] { return Check(WriteWholeFile(Internal("Score.dat"), "first", 5) == 1, "first user's scores written"); }));
    EXPECT_TRUE(RunAs(kSecondUser, second, [&] {
        bool ok = Check(ReadTextFile(Internal("Score.dat")) == "program scores", "second user reads the program's");
        ok &= Check(WriteWholeFile(Internal("Score.dat"), "second", 6) == 1, "second user's scores written");
        return ok;
    }));
    EXPECT_EQ(ContentOf(first + "/.local/share/lumarra/Score.dat"), "first");
    EXPECT_EQ(ContentOf(second + "/.local/share/lumarra/Score.dat"), "second");
}

TEST_F(UserFiles, DataHomeMustBeAbsolute)
{
    std::string home = MakeHome("home", kFirstUser);
    std::string dataHome = MakeHome("data", kFirstUser);
    ASSERT_FALSE(home.empty());
    EXPECT_TRUE(RunAs(kFirstUser, home, [&] {
        ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        bool ok = Check(WriteWholeFile(Internal("Score.dat"), "absolute", 8) == 1, "written under XDG_DATA_HOME");
        // A relative value is ignored: the default below the home serves.
        ::setenv("XDG_DATA_HOME", "relative/share", 1);
        ok &= Check(WriteWholeFile(Internal("Score.dat"), "relative", 8) == 1, "written below the home");
        return ok;
    }));
    EXPECT_EQ(ContentOf(dataHome + "/lumarra/Score.dat"), "absolute");
    EXPECT_EQ(ContentOf(home + "/.local/share/lumarra/Score.dat"), "relative");
}

TEST_F(UserFiles, AWritableProgramFolderKeepsItsFiles)
{
    ::chmod(Program().c_str(), 0777);
    std::string home = MakeHome("home", kFirstUser);
    ASSERT_FALSE(home.empty());
    EXPECT_TRUE(RunAs(kFirstUser, home,
        [&] { return Check(WriteTextFile(Internal("startup.ini"), "NoWelcome") == 1, "settings file written"); }));
    EXPECT_EQ(ContentOf(Program("startup.ini")), "NoWelcome");
    EXPECT_EQ(ContentOf(home + "/.local/share/lumarra/startup.ini"), "<missing>");
}

TEST_F(UserFiles, WithoutAHomeWritesFailAndReadsStillWork)
{
    // Only "nobody" is sure to have an account whose home does not exist.
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run as nobody";
    EXPECT_TRUE(RunAs(kFirstUser, "", [&] {
        ::unsetenv("HOME");
        bool ok = Check(ReadTextFile(Internal("Score.dat")) == "program scores", "program's file read");
        ok &= Check(WriteWholeFile(Internal("Score.dat"), "lost", 4) == 0, "write reported as failed");
        return ok;
    }));
    EXPECT_EQ(ContentOf(Program("Score.dat")), "program scores");
}

}
