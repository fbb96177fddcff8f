// Decoding speed and memory, ADPCM conversion speed, mixing cost and the
// delay from Play to a sound's first frame leaving the mixer.

#include "audio/DecodedSound.h"
#include "audio/Mp3Decoder.h"
#include "audio/WaveDecoder.h"
#include "bench/audio/HeapCounter.h"
#include "platform/audio/AudioMixer.h"
#include "platform/audio/SdlAudioDevice.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include <sys/resource.h>

namespace lumarra {
namespace {

constexpr double kSeconds = 60.0;

// Sixty seconds of music-like sound, made once per run.
class BenchFiles {
public:
    static BenchFiles& Get()
    {
        static BenchFiles files;
        return files;
    }

    std::filesystem::path Path(const char* name) const { return m_folder / name; }
    std::vector<uint8_t> Read(const char* name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    bool Ready() const { return m_ready; }

private:
    BenchFiles()
        : m_folder(std::filesystem::temp_directory_path() / "lumarra-audio-bench")
    {
        std::filesystem::create_directories(m_folder);
        std::string source = Path("source.wav").string();
        m_ready = Run("sox -n -r 44100 -c 2 " + source + " synth 60 sine 220-880 pinknoise vol 0.7")
            && Run("lame --quiet -b 128 " + source + " " + Path("music.mp3").string())
            && Run("sox " + source + " -e ima-adpcm " + Path("ima.wav").string());
    }
    ~BenchFiles()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    static bool Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

    std::filesystem::path m_folder;
    bool m_ready = false;
};

double CpuSeconds(const timeval& user, const timeval& system)
{
    return static_cast<double>(user.tv_sec + system.tv_sec) + static_cast<double>(user.tv_usec + system.tv_usec) / 1e6;
}

// Processor time a command takes; the machine may be busy with other work,
// so wall time would not compare.
double ChildCpuSecondsOf(const std::string& command)
{
    rusage before {};
    getrusage(RUSAGE_CHILDREN, &before);
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
        return 0;
    rusage after {};
    getrusage(RUSAGE_CHILDREN, &after);
    return CpuSeconds(after.ru_utime, after.ru_stime) - CpuSeconds(before.ru_utime, before.ru_stime);
}

double OwnCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage.ru_utime, usage.ru_stime);
}

void BM_DecodeMp3Stereo128k(benchmark::State& state)
{
    auto& files = BenchFiles::Get();
    if (!files.Ready()) {
        state.SkipWithError("sox or lame missing");
        return;
    }
    auto mp3 = files.Read("music.mp3");
    size_t pcmBytes = 0;
    size_t peak = 0;
    double cpuStart = OwnCpuSeconds();
    for (auto _ : state) {
        size_t before = bench::HeapInUse();
        bench::ResetHeapPeak();
        DecodedSound sound;
        if (!DecodeMp3(mp3, sound)) {
            state.SkipWithError("decoding failed");
            return;
        }
        pcmBytes = sound.pcm.size();
        peak = bench::HeapPeak() - before;
        benchmark::DoNotOptimize(sound.pcm.data());
    }
    double ownSeconds = (OwnCpuSeconds() - cpuStart) / static_cast<double>(state.iterations());
    // lame decoding the same file (both channels, to a file), for comparison.
    std::string out = files.Path("lame.wav").string();
    double lameSeconds = ChildCpuSecondsOf("lame --quiet --decode " + files.Path("music.mp3").string() + " " + out);
    state.counters["x_real_time"]
        = benchmark::Counter(kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["per_lame_time"] = lameSeconds > 0 ? ownSeconds / lameSeconds : 0;
    // The loader also holds the file while it decodes.
    state.counters["peak_per_pcm"] = static_cast<double>(peak + mp3.size()) / static_cast<double>(pcmBytes);
}
BENCHMARK(BM_DecodeMp3Stereo128k)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ConvertImaAdpcm(benchmark::State& state)
{
    auto& files = BenchFiles::Get();
    if (!files.Ready()) {
        state.SkipWithError("sox missing");
        return;
    }
    auto wave = files.Read("ima.wav");
    for (auto _ : state) {
        DecodedSound sound;
        if (!DecodeWave(wave, sound)) {
            state.SkipWithError("conversion failed");
            return;
        }
        benchmark::DoNotOptimize(sound.pcm.data());
    }
    state.counters["x_real_time"]
        = benchmark::Counter(kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ConvertImaAdpcm)->Unit(benchmark::kMillisecond);

std::shared_ptr<const std::vector<uint8_t>> Tone(size_t frames, int channels, int rate)
{
    auto pcm = std::make_shared<std::vector<uint8_t>>(frames * static_cast<size_t>(channels) * 2);
    for (size_t i = 0; i < frames * static_cast<size_t>(channels); ++i) {
        auto sample = static_cast<int16_t>(3000 * std::sin(static_cast<double>(i) * 2000.0 / rate));
        (*pcm)[i * 2] = static_cast<uint8_t>(sample);
        (*pcm)[i * 2 + 1] = static_cast<uint8_t>(static_cast<uint16_t>(sample) >> 8);
    }
    return pcm;
}

// Sixteen looping voices of the game's kinds: 44.1 and 22.05 kHz mono (MP3
// sounds), and 48 kHz stereo, which needs no conversion.
void BM_Mix16Voices(benchmark::State& state)
{
    constexpr OutputLayout kOutput { 2, 48000 };
    constexpr size_t kBufferFrames = 512;
    AudioMixer mixer(kOutput);
    const PcmLayout layouts[] = { { 1, 44100, 2 }, { 1, 22050, 2 }, { 2, 48000, 2 }, { 2, 44100, 2 } };
    for (int i = 0; i < 16; ++i) {
        const PcmLayout& layout = layouts[i % 4];
        VoiceId voice = mixer.AddVoice(layout,
            Tone(static_cast<size_t>(layout.sampleRate) * 2, layout.channels, layout.sampleRate));
        mixer.Play(voice, true);
    }
    std::vector<int16_t> out(kBufferFrames * 2);
    for (auto _ : state) {
        mixer.Mix(out.data(), kBufferFrames);
        benchmark::DoNotOptimize(out.data());
    }
    // Share of one core: mixing time over the buffer's play time.
    state.counters["core_share"] = benchmark::Counter(static_cast<double>(kBufferFrames) / kOutput.sampleRate
            * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Mix16Voices)->Unit(benchmark::kMicrosecond);

// Through SDL's file-writing driver, which paces its buffers like a sound
// card; measures from Play to the voice's first frame being mixed.
void BM_PlayToFirstFrame(benchmark::State& state)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    auto device = SdlAudioDevice::Open();
    if (!device) {
        state.SkipWithError("no SDL audio driver");
        return;
    }
    AudioMixer& mixer = device->GetMixer();
    VoiceId voice = mixer.AddVoice({ 1, 44100, 2 }, Tone(44100, 1, 44100));
    double worst = 0;
    std::mt19937 random(1);
    for (auto _ : state) {
        mixer.Stop(voice);
        // Plays land anywhere in the device's buffer period, not just after
        // the mixing that the previous round waited for.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 12000));
        auto start = std::chrono::steady_clock::now();
        mixer.Play(voice, false);
        while (mixer.GetPosition(voice).value_or(1) == 0)
            std::this_thread::yield();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["worst_ms"] = worst * 1000;
    state.counters["buffer_frames"] = device->GetBufferFrames();
}
BENCHMARK(BM_PlayToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

}
}

BENCHMARK_MAIN();
