// Drives a libFuzzer-style target without libFuzzer: runs every file of the
// given corpus folders, then deterministic mutations of them (byte flips,
// cuts, splices, inserted runs), so the parsers meet hostile input in every
// plain and sanitizer test pass.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Input = std::vector<uint8_t>;

constexpr int kMutationsPerInput = 400;

Input Mutate(const Input& input, const Input& other, std::mt19937& random)
{
    Input out = input;
    auto pick = [&](size_t n) { return n ? static_cast<size_t>(random() % n) : 0; };
    int steps = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < steps; ++i) {
        switch (random() % 6) {
        case 0:
            if (!out.empty())
                out[pick(out.size())] ^= static_cast<uint8_t>(1u << (random() % 8));
            break;
        case 1:
            if (!out.empty())
                out[pick(out.size())] = static_cast<uint8_t>(random());
            break;
        case 2:
            out.resize(pick(out.size() + 1));
            break;
        case 3: {
            size_t at = pick(out.size() + 1);
            out.insert(out.begin() + static_cast<long>(at), 1 + pick(64), static_cast<uint8_t>(random()));
            break;
        }
        case 4:
            if (!out.empty() && !other.empty()) {
                size_t at = pick(out.size());
                size_t from = pick(other.size());
                size_t n = std::min(out.size() - at, other.size() - from);
                std::copy_n(other.begin() + static_cast<long>(from), n, out.begin() + static_cast<long>(at));
            }
            break;
        default: {
            // Interesting integers where lengths and counts usually sit.
            static const uint32_t values[] = { 0, 1, 0x7F, 0x80, 0xFF, 0xFFFF, 0x7FFFFFFF, 0xFFFFFFFF };
            if (out.size() >= 4) {
                uint32_t v = values[random() % std::size(values)];
                std::memcpy(out.data() + pick(out.size() - 3), &v, 4);
            }
        }
        }
    }
    return out;
}

}

int main(int argc, char** argv)
{
    std::vector<Input> corpus;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        for (const auto& item : std::filesystem::recursive_directory_iterator(argv[i], ec)) {
            if (!item.is_regular_file())
                continue;
            std::ifstream in(item.path(), std::ios::binary);
            corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    corpus.emplace_back();
    for (const Input& input : corpus)
        LLVMFuzzerTestOneInput(input.data(), input.size());
    std::mt19937 random(20261208);
    for (size_t i = 0; i < corpus.size(); ++i)
        for (int m = 0; m < kMutationsPerInput; ++m) {
            Input input = Mutate(corpus[i], corpus[random() % corpus.size()], random);
            LLVMFuzzerTestOneInput(input.data(), input.size());
        }
    std::printf("%zu corpus inputs, %zu mutations\n", corpus.size(), corpus.size() * kMutationsPerInput);
    return 0;
}
