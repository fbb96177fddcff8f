#include "tools/pictures/ColorQuantizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace lumarra {

namespace {

// Histogram precision per channel: 6 bits keeps gradients apart while the
// table stays small.
constexpr int kHistogramBits = 6;
constexpr int kRefineRounds = 6;

struct Bin {
    float r, g, b;
    double count;
};

struct Box {
    std::vector<Bin> bins;
    double Weight() const
    {
        double w = 0;
        for (const Bin& bin : bins)
            w += bin.count;
        return w;
    }
    // Channel with the widest spread and how wide it is, weighted by count so
    // that large flat areas get their own colors before rare outliers.
    std::pair<int, float> Widest() const
    {
        std::array<float, 3> lo { 1e9f, 1e9f, 1e9f }, hi { -1e9f, -1e9f, -1e9f };
        for (const Bin& bin : bins) {
            float c[3] = { bin.r, bin.g, bin.b };
            for (int k = 0; k < 3; ++k)
                lo[k] = std::min(lo[k], c[k]), hi[k] = std::max(hi[k], c[k]);
        }
        int best = 0;
        for (int k = 1; k < 3; ++k)
            if (hi[k] - lo[k] > hi[best] - lo[best])
                best = k;
        return { best, hi[best] - lo[best] };
    }
};

float Channel(const Bin& bin, int k)
{
    return k == 0 ? bin.r : k == 1 ? bin.g : bin.b;
}

struct Rgb {
    float r, g, b;
};

// Perceptual weights for squared distances.
float Distance(const Rgb& a, const Rgb& b)
{
    float dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

std::vector<Rgb> MedianCut(std::vector<Bin> bins, int colors)
{
    std::vector<Box> boxes { Box { std::move(bins) } };
    while (static_cast<int>(boxes.size()) < colors) {
        int pick = -1;
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].bins.size() < 2)
                continue;
            double score = boxes[i].Widest().second * std::sqrt(boxes[i].Weight());
            if (score > bestScore)
                bestScore = score, pick = static_cast<int>(i);
        }
        if (pick < 0)
            break;
        Box& box = boxes[pick];
        int k = box.Widest().first;
        std::sort(box.bins.begin(), box.bins.end(),
            [k](const Bin& a, const Bin& b) { return Channel(a, k) < Channel(b, k); });
        double half = box.Weight() / 2, run = 0;
        size_t split = 1;
        for (; split < box.bins.size() - 1; ++split) {
            run += box.bins[split - 1].count;
            if (run >= half)
                break;
        }
        Box upper { std::vector<Bin>(box.bins.begin() + static_cast<ptrdiff_t>(split), box.bins.end()) };
        box.bins.resize(split);
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgb> palette;
    for (const Box& box : boxes) {
        double w = box.Weight(), r = 0, g = 0, b = 0;
        for (const Bin& bin : box.bins)
            r += bin.r * bin.count, g += bin.g * bin.count, b += bin.b * bin.count;
        palette.push_back({ float(r / w), float(g / w), float(b / w) });
    }
    return palette;
}

size_t Nearest(const std::vector<Rgb>& palette, const Rgb& c)
{
    size_t best = 0;
    float bestDistance = Distance(palette[0], c);
    for (size_t i = 1; i < palette.size(); ++i)
        if (float d = Distance(palette[i], c); d < bestDistance)
            bestDistance = d, best = i;
    return best;
}

void Refine(std::vector<Rgb>& palette, const std::vector<Bin>& bins, size_t fixedCount)
{
    for (int round = 0; round < kRefineRounds; ++round) {
        std::vector<std::array<double, 4>> sums(palette.size(), { 0, 0, 0, 0 });
        for (const Bin& bin : bins) {
            auto& s = sums[Nearest(palette, { bin.r, bin.g, bin.b })];
            s[0] += bin.r * bin.count, s[1] += bin.g * bin.count, s[2] += bin.b * bin.count, s[3] += bin.count;
        }
        for (size_t i = fixedCount; i < palette.size(); ++i)
            if (sums[i][3] > 0)
                palette[i] = { float(sums[i][0] / sums[i][3]), float(sums[i][1] / sums[i][3]),
                    float(sums[i][2] / sums[i][3]) };
    }
}

uint8_t ToByte(float v)
{
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}

IndexedImage ColorQuantizer::Quantize(int width, int height, std::span<const uint32_t> pixels, int maxColors,
    float dither, std::span<const uint32_t> keep)
{
    IndexedImage out;
    out.width = width;
    out.height = height;
    // Each bin keeps the mean of its pixels, so a flat color comes back
    // exactly.
    struct Sum {
        double r = 0, g = 0, b = 0, count = 0;
    };
    std::unordered_map<uint32_t, Sum> histogram;
    constexpr int shift = 8 - kHistogramBits;
    for (uint32_t p : pixels) {
        if (std::find(keep.begin(), keep.end(), p) != keep.end())
            continue;
        uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
        Sum& sum = histogram[(r >> shift) << (2 * kHistogramBits) | (g >> shift) << kHistogramBits | (b >> shift)];
        sum.r += r, sum.g += g, sum.b += b, sum.count += 1;
    }
    std::vector<Bin> bins;
    for (const auto& [key, sum] : histogram)
        bins.push_back({ float(sum.r / sum.count), float(sum.g / sum.count), float(sum.b / sum.count), sum.count });

    std::vector<Rgb> palette;
    for (uint32_t k : keep)
        palette.push_back({ float(k >> 16 & 0xFF), float(k >> 8 & 0xFF), float(k & 0xFF) });
    int room = maxColors - static_cast<int>(palette.size());
    if (!bins.empty() && room > 0) {
        std::vector<Rgb> cut = MedianCut(bins, room);
        palette.insert(palette.end(), cut.begin(), cut.end());
        Refine(palette, bins, keep.size());
    }
    if (palette.empty())
        palette.push_back({ 0, 0, 0 });
    for (const Rgb& c : palette)
        out.colors.push_back({ ToByte(c.r), ToByte(c.g), ToByte(c.b) });
    std::vector<Rgb> exact;
    for (const ImgColor& c : out.colors)
        exact.push_back({ float(c.red), float(c.green), float(c.blue) });

    // Serpentine error diffusion. Kept colors are written exactly and pass no
    // error on, so flat black stays flat.
    out.indices.resize(static_cast<size_t>(width) * height);
    std::vector<Rgb> error(static_cast<size_t>(width + 2) * 2, { 0, 0, 0 });
    for (int y = 0; y < height; ++y) {
        Rgb* current = &error[(y & 1) * (width + 2) + 1];
        Rgb* next = &error[((y + 1) & 1) * (width + 2) + 1];
        std::fill(next - 1, next + width + 1, Rgb { 0, 0, 0 });
        bool leftward = y & 1;
        for (int i = 0; i < width; ++i) {
            int x = leftward ? width - 1 - i : i;
            int dir = leftward ? -1 : 1;
            uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            size_t index;
            if (auto kept = std::find(keep.begin(), keep.end(), p); kept != keep.end()) {
                index = static_cast<size_t>(kept - keep.begin());
                out.indices[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(index);
                continue;
            }
            Rgb want { float(p >> 16 & 0xFF) + current[x].r * dither, float(p >> 8 & 0xFF) + current[x].g * dither,
                float(p & 0xFF) + current[x].b * dither };
            want = { std::clamp(want.r, 0.0f, 255.0f), std::clamp(want.g, 0.0f, 255.0f),
                std::clamp(want.b, 0.0f, 255.0f) };
            index = Nearest(exact, want);
            out.indices[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(index);
            Rgb e { want.r - exact[index].r, want.g - exact[index].g, want.b - exact[index].b };
            auto spread = [](Rgb& cell, const Rgb& err, float w) {
                cell.r += err.r * w, cell.g += err.g * w, cell.b += err.b * w;
            };
            spread(current[x + dir], e, 7 / 16.0f);
            spread(next[x - dir], e, 3 / 16.0f);
            spread(next[x], e, 5 / 16.0f);
            spread(next[x + dir], e, 1 / 16.0f);
        }
    }
    return out;
}

}
