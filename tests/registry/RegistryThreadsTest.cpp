#include "support/RegistryStore.h"
#include "tests/registry/RegistryTestStore.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace lumarra;
using namespace lumarra::test;

// Stores are not shared between threads, but threads with stores of their own
// write the same file; the store's lock keeps every change.
TEST(RegistryThreads, StoresOnSeveralThreadsLoseNothing)
{
    TestRegistry registry(TestRegistry::Medium::Memory);
    constexpr int kThreads = 4;
    constexpr int kWrites = 100;
    std::atomic<int> failures { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures] {
            RegistryStore store("HKEY_CURRENT_USER\\Software\\Orvella\\Network");
            for (int i = 0; i < kWrites; ++i) {
                std::string name = NumberedName(NumberedName("T", t) + "_", i);
                uint32_t back = 0;
                if (!store.WriteDword("", name.c_str(), static_cast<uint32_t>(i))
                    || !store.ReadDword("", name.c_str(), back) || back != static_cast<uint32_t>(i))
                    ++failures;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);

    RegistryStore store("HKEY_CURRENT_USER\\Software\\Orvella\\Network");
    int found = 0;
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kWrites; ++i) {
            uint32_t value = 0;
            found += store.ReadDword("", NumberedName(NumberedName("T", t) + "_", i).c_str(), value);
        }
    EXPECT_EQ(found, kThreads * kWrites);
}
