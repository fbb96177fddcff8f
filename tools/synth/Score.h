#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

// The timbres the synthesiser plays.
enum class Timbre {
    Pluck,  // a plucked string: bright attack, warm decay
    Bell,   // a soft bell: inharmonic partials, long ring
    Flute,  // a breathy, held voice with gentle vibrato
    Wood,   // a short knock for clicks and ticks
};

struct ScoreNote {
    double startBeat = 0;
    double beats = 0;
    std::vector<double> frequencies;  // several for a chord
};

struct ScorePart {
    Timbre timbre = Timbre::Pluck;
    double level = 1.0;
    std::vector<ScoreNote> notes;
    double beats = 0;  // written length, trailing rests included
};

// A piece as written in a score file. Scores are plain text, one directive or
// one run of notes per line; a word starting with '#' begins a comment:
//
//   rate 44100        sample rate of the rendering
//   tempo 76          beats per minute
//   meter 4           beats per bar: every '|' must fall on a bar line
//   peak -3           level of the loudest sample, in dBFS
//   tail 0.5          seconds rendered after the last note ends
//   loop              the piece repeats: rendered to its exact written length
//   reverb 0.2        share of room sound mixed in, 0 to 1
//   part flute 0.8    starts a part with a timbre and a level; notes follow
//   A4 A4 B4:2 | Bb3+F4:0.5 r:1.5
//
// A note is a letter A-G, an optional '#' or 'b', an octave 0-8 and an
// optional ':beats' (default 1); '+' joins notes into a chord, 'r' is a rest.
struct Score {
    int rate = 44100;
    double tempo = 120;
    double meter = 4;
    double peakDb = -3;
    double tailSeconds = 0;
    bool loop = false;
    double reverb = 0;
    std::vector<ScorePart> parts;

    double GetLengthInBeats() const;
    double GetSecondsPerBeat() const { return 60.0 / tempo; }
};

// Longest piece a score may describe, so a typing slip cannot ask for hours.
inline constexpr double kMaxScoreSeconds = 180.0;

// Parses a score; on failure returns nothing and sets `error` to
// "line N: what is wrong".
std::optional<Score> ParseScore(std::string_view text, std::string& error);

}
