// LoadPicture of the largest card sheet (750 x 2310, 128 colors) from a warm
// cache file, and the first load that decodes the resource and writes it.

#include "graphics/DibSurface.h"
#include "graphics/PictureCache.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace lumarra;

namespace {

constexpr uint32_t kLargestSheet = 301;

// A program folder of its own for the run.
class ScratchHome {
public:
    ScratchHome()
    {
        char pattern[] = "/tmp/lumarra-bench-img-XXXXXX";
        if (mkdtemp(pattern))
            m_path = pattern;
        setenv("LUMARRA_HOME", m_path.c_str(), 1);
    }
    ~ScratchHome()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

private:
    std::string m_path;
};

void BM_LoadPictureWarmCache(benchmark::State& state)
{
    ScratchHome home;
    DibSurface surface;
    if (!WritePictureCache(kLargestSheet))
        state.SkipWithError("cannot write the cache file");
    for (auto _ : state) {
        if (!LoadPicture(surface, kLargestSheet))
            state.SkipWithError("LoadPicture failed");
    }
}
BENCHMARK(BM_LoadPictureWarmCache)->Unit(benchmark::kMillisecond);

void BM_LoadPictureColdCache(benchmark::State& state)
{
    ScratchHome home;
    DibSurface surface;
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code error;
        std::filesystem::remove_all(std::filesystem::path(getenv("LUMARRA_HOME")) / "Data", error);
        state.ResumeTiming();
        if (!LoadPicture(surface, kLargestSheet))
            state.SkipWithError("LoadPicture failed");
    }
}
BENCHMARK(BM_LoadPictureColdCache)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
