// Renders a score file to a RIFF WAVE file (mono, 16-bit PCM).
//
//   lumarra_synth <score.txt> <out.wav>

#include "tools/synth/Score.h"
#include "tools/synth/Synthesizer.h"
#include "tools/synth/WaveFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: lumarra_synth <score.txt> <out.wav>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "lumarra_synth: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    std::string error;
    std::optional<lumarra::Score> score = lumarra::ParseScore(text.str(), error);
    if (!score) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::string wave = lumarra::EncodeWaveFile(lumarra::RenderScore(*score), score->rate);
    // Written under a temporary name, so an interrupted build never leaves a
    // half file that looks up to date.
    std::string temporary = std::string(argv[2]) + ".part";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(wave.data(), static_cast<std::streamsize>(wave.size()));
    out.close();
    std::error_code renameError;
    if (out.fail() || (std::filesystem::rename(temporary, argv[2], renameError), renameError)) {
        std::filesystem::remove(temporary, renameError);
        std::fprintf(stderr, "lumarra_synth: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
