#include "tools/synth/Score.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

namespace lumarra {

namespace {

constexpr int kMinRate = 8000;
constexpr int kMaxRate = 96000;
constexpr double kMinTempo = 20;
constexpr double kMaxTempo = 400;
constexpr double kShortestNote = 1.0 / 64;
constexpr double kSamplesPerHighestPeriod = 4;
// Bar lines may sit a rounding error away from the exact beat.
constexpr double kBeatTolerance = 1e-6;

struct ParseError {
    std::string message;
};

std::vector<std::string_view> SplitWords(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r'))
            ++pos;
        size_t end = pos;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
            ++end;
        if (end > pos)
            words.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

double ParseNumber(std::string_view word, double low, double high, const char* what)
{
    double value = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size() || !(value >= low && value <= high)) {
        std::ostringstream message;
        message << what << " must be a number from " << low << " to " << high << ", not '" << word << "'";
        throw ParseError { message.str() };
    }
    return value;
}

Timbre ParseTimbre(std::string_view word)
{
    if (word == "pluck")
        return Timbre::Pluck;
    if (word == "bell")
        return Timbre::Bell;
    if (word == "flute")
        return Timbre::Flute;
    if (word == "wood")
        return Timbre::Wood;
    throw ParseError { "unknown timbre '" + std::string(word) + "'" };
}

// "C#5" -> its frequency with A4 = 440 Hz.
double ParsePitch(std::string_view word)
{
    static constexpr int kSemitoneOfLetter[] = { 9, 11, 0, 2, 4, 5, 7 };  // A..G
    size_t pos = 0;
    if (word.empty() || word[0] < 'A' || word[0] > 'G')
        throw ParseError { "bad note '" + std::string(word) + "'" };
    int semitone = kSemitoneOfLetter[word[0] - 'A'];
    ++pos;
    if (pos < word.size() && (word[pos] == '#' || word[pos] == 'b')) {
        semitone += word[pos] == '#' ? 1 : -1;
        ++pos;
    }
    if (pos + 1 != word.size() || word[pos] < '0' || word[pos] > '8')
        throw ParseError { "bad note '" + std::string(word) + "'" };
    int midi = 12 * (word[pos] - '0' + 1) + semitone;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

void ParseNotes(const std::vector<std::string_view>& words, Score& score, double& beat)
{
    if (score.parts.empty())
        throw ParseError { "notes before the first part" };
    ScorePart& part = score.parts.back();
    for (std::string_view word : words) {
        if (word == "|") {
            double bars = beat / score.meter;
            if (std::fabs(bars - std::round(bars)) > kBeatTolerance) {
                std::ostringstream message;
                message << "bar line at beat " << beat << " is not on a bar of " << score.meter;
                throw ParseError { message.str() };
            }
            continue;
        }
        std::string_view pitches = word;
        double beats = 1;
        if (size_t colon = word.find(':'); colon != std::string_view::npos) {
            pitches = word.substr(0, colon);
            beats = ParseNumber(word.substr(colon + 1), kShortestNote, 64, "a note's length");
        }
        if (pitches != "r") {
            ScoreNote note { beat, beats, {} };
            size_t pos = 0;
            while (pos <= pitches.size()) {
                size_t plus = std::min(pitches.find('+', pos), pitches.size());
                double frequency = ParsePitch(pitches.substr(pos, plus - pos));
                // A plucked string needs a delay line of a few samples per period.
                if (frequency * kSamplesPerHighestPeriod > score.rate)
                    throw ParseError { "note '" + std::string(word) + "' is too high for the rate" };
                note.frequencies.push_back(frequency);
                pos = plus + 1;
            }
            part.notes.push_back(std::move(note));
        }
        beat += beats;
        part.beats = beat;
        if (beat * score.GetSecondsPerBeat() > kMaxScoreSeconds)
            throw ParseError { "the piece is longer than the synthesiser renders" };
    }
}

// A comment starts with a '#' that begins a word; inside a note it is a sharp.
std::string_view WithoutComment(std::string_view line)
{
    for (size_t pos = 0; pos < line.size(); ++pos) {
        if (line[pos] == '#' && (pos == 0 || line[pos - 1] == ' ' || line[pos - 1] == '\t'))
            return line.substr(0, pos);
    }
    return line;
}

void ParseLine(std::string_view line, Score& score, double& beat)
{
    line = WithoutComment(line);
    std::vector<std::string_view> words = SplitWords(line);
    if (words.empty())
        return;
    std::string_view keyword = words[0];
    bool inPart = !score.parts.empty();
    auto expect = [&](size_t count) {
        if (words.size() != count + 1)
            throw ParseError { "'" + std::string(keyword) + "' takes " + std::to_string(count) + " value(s)" };
        // Timing set after notes would silently move them: settings come first.
        if (inPart && keyword != "part")
            throw ParseError { "'" + std::string(keyword) + "' must come before the first part" };
    };
    if (keyword == "rate") {
        expect(1);
        score.rate = static_cast<int>(ParseNumber(words[1], kMinRate, kMaxRate, "rate"));
    } else if (keyword == "tempo") {
        expect(1);
        score.tempo = ParseNumber(words[1], kMinTempo, kMaxTempo, "tempo");
    } else if (keyword == "meter") {
        expect(1);
        score.meter = ParseNumber(words[1], 1, 16, "meter");
    } else if (keyword == "peak") {
        expect(1);
        score.peakDb = ParseNumber(words[1], -40, 0, "peak");
    } else if (keyword == "tail") {
        expect(1);
        score.tailSeconds = ParseNumber(words[1], 0, 10, "tail");
    } else if (keyword == "reverb") {
        expect(1);
        score.reverb = ParseNumber(words[1], 0, 1, "reverb");
    } else if (keyword == "loop") {
        expect(0);
        score.loop = true;
    } else if (keyword == "part") {
        expect(2);
        score.parts.push_back({ ParseTimbre(words[1]), ParseNumber(words[2], 0, 4, "level"), {}, 0 });
        beat = 0;
    } else {
        ParseNotes(words, score, beat);
    }
}

}

double Score::GetLengthInBeats() const
{
    double length = 0;
    for (const ScorePart& part : parts)
        length = std::max(length, part.beats);
    return length;
}

std::optional<Score> ParseScore(std::string_view text, std::string& error)
{
    Score score;
    double beat = 0;
    int lineNumber = 0;
    size_t pos = 0;
    try {
        while (pos < text.size()) {
            size_t end = std::min(text.find('\n', pos), text.size());
            ++lineNumber;
            ParseLine(text.substr(pos, end - pos), score, beat);
            pos = end + 1;
        }
    } catch (const ParseError& failure) {
        error = "line " + std::to_string(lineNumber) + ": " + failure.message;
        return std::nullopt;
    }
    bool hasNotes = std::any_of(score.parts.begin(), score.parts.end(),
        [](const ScorePart& part) { return !part.notes.empty(); });
    if (!hasNotes) {
        error = "the score has no notes";
        return std::nullopt;
    }
    return score;
}

}
