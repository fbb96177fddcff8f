#include "support/FileIo.h"
#include "support/FilePaths.h"
#include "tests/support/TestScopes.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace lumarra;
using namespace lumarra::test;

TEST(FileThreads, ReadersAlwaysSeeOneWholeVersionWhileWritersReplaceTheFile)
{
    TestFolder folder;
    const std::string path = folder.Internal("Score.dat");
    const std::string versions[] = { std::string(48000, 'a'), std::string(20000, 'b') };
    ASSERT_EQ(WriteWholeFile(path, versions[0].data(), versions[0].size()), 1);

    std::atomic<bool> stop { false };
    std::atomic<int> failedWrites { 0 };
    std::atomic<int> mixedReads { 0 };
    std::vector<std::thread> threads;
    for (int writer = 0; writer < 2; ++writer)
        threads.emplace_back([&, writer] {
            for (int i = 0; i < 30; ++i) {
                const std::string& version = versions[(i + writer) % 2];
                if (!WriteWholeFile(path, version.data(), version.size()))
                    ++failedWrites;
            }
        });
    threads.emplace_back([&] {
        while (!stop) {
            std::string text = ReadTextFile(path);
            std::string name;
            GetFileName(path, name);
            if (text != versions[0] && text != versions[1])
                ++mixedReads;
        }
    });
    threads[0].join();
    threads[1].join();
    stop = true;
    threads[2].join();
    EXPECT_EQ(failedWrites, 0);
    EXPECT_EQ(mixedReads, 0);
}
