// Files games into a score record, as a second copy of the game would: the
// tests run two of these side by side, or kill one while it files.
//
// score_filer <record path> <games> <seed>
// Files <games> games of the Edo deck with random counts (18 cards between
// child and computer), or games without end for 0. Exits 0 when the record
// took every game.

#include "game/ScoreRecord.h"

#include <cstdio>
#include <cstdlib>
#include <random>

using namespace lumarra;

namespace {

constexpr int kEdoScoreCode = 20;
constexpr int kCards = 18;

}

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: score_filer <record path> <games> <seed>\n");
        return 2;
    }
    const char* path = argv[1];
    long games = std::strtol(argv[2], nullptr, 10);
    std::mt19937 random(static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)));
    int failed = 0;
    for (long game = 0; games == 0 || game < games; ++game) {
        int child = std::uniform_int_distribution<int>(0, kCards)(random);
        int32_t date = 1'700'000'000 + static_cast<int32_t>(game);
        if (!ScoreRecord::FileGame(path, kEdoScoreCode, child, kCards - child, date).saved)
            ++failed;
    }
    return failed == 0 ? 0 : 1;
}
