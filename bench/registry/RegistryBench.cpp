// Costs of the registry store: parsing and printing a store file, and the
// whole read and write paths the settings take (each write is locked, read,
// changed and replaced on disk).

#include "platform/RegistryText.h"
#include "support/RegistryStore.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace lumarra;

namespace {

constexpr const char* kGameKey = "HKEY_CURRENT_USER\\Software\\Orvella\\Korimba";

RegistryNode StoreWithValues(int count)
{
    RegistryNode root { "HKEY_CURRENT_USER" };
    RegistryNode& key = root.AddSubKey("Software").AddSubKey("Orvella").AddSubKey("Network");
    for (int i = 0; i < count; ++i)
        key.SetValue({ "Value" + std::to_string(i), 3, std::vector<uint8_t>(9, static_cast<uint8_t>(i)) });
    return root;
}

// A registry folder of its own for the benchmarks that touch the disk.
class BenchRegistry {
public:
    BenchRegistry()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumarra-bench-XXXXXX").string();
        m_folder = ::mkdtemp(pattern.data()) ? pattern : std::string();
        ::setenv("LUMARRA_REGISTRY_DIR", m_folder.c_str(), 1);
    }
    ~BenchRegistry()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

private:
    std::string m_folder;
};

void BM_ParseStore(benchmark::State& state)
{
    std::string text = PrintRegistryText(StoreWithValues(static_cast<int>(state.range(0))), "HKEY_CURRENT_USER");
    for (auto _ : state) {
        RegistryNode root;
        benchmark::DoNotOptimize(ParseRegistryText(text, "HKEY_CURRENT_USER", root));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseStore)->Arg(4)->Arg(2000);

void BM_PrintStore(benchmark::State& state)
{
    RegistryNode root = StoreWithValues(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(PrintRegistryText(root, "HKEY_CURRENT_USER"));
}
BENCHMARK(BM_PrintStore)->Arg(4)->Arg(2000);

// What the stage does for each switch at start.
void BM_ReadSetting(benchmark::State& state)
{
    BenchRegistry registry;
    RegistryStore(kGameKey).WriteDword("", "bClick", 1u);
    for (auto _ : state) {
        int32_t value = 1;
        benchmark::DoNotOptimize(RegistryStore(kGameKey).ReadDword("", "bMusic", value));
    }
}
BENCHMARK(BM_ReadSetting);

// What a caption button press costs, flush to disk included.
void BM_WriteSetting(benchmark::State& state)
{
    BenchRegistry registry;
    uint32_t value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(RegistryStore(kGameKey).WriteDword("", "bClick", value++ & 1));
}
BENCHMARK(BM_WriteSetting)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
