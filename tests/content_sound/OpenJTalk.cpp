#include "tests/content_sound/OpenJTalk.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace lumarra {

namespace {

// Speech this much faster than normal costs next to nothing to synthesise;
// the analysis does not depend on it.
constexpr const char* kFastRate = "20";
// The engine reads one line of input of at most 1023 bytes: texts are sent
// several to a line, parted by a mark that the dictionary keeps as a word of
// its own.
constexpr size_t kLineBytes = 900;
constexpr std::string_view kPartition = "■";
// Fields of a word line of the trace's analysis: surface first, the
// dictionary reading ninth (from 0: 8).
constexpr size_t kReadingField = 8;

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, ','))
        fields.push_back(field);
    return fields;
}

}

std::unique_ptr<OpenJTalk> OpenJTalk::FromEnvironment()
{
    const char* engine = std::getenv("LUMARRA_OPEN_JTALK");
    const char* dictionary = std::getenv("LUMARRA_OPEN_JTALK_DICTIONARY");
    const char* voice = std::getenv("LUMARRA_OPEN_JTALK_VOICE");
    if (!engine || !*engine || !dictionary || !*dictionary || !voice || !*voice)
        return nullptr;
    std::string pattern = (std::filesystem::temp_directory_path() / "lumarra-jtalk-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return nullptr;
    return std::unique_ptr<OpenJTalk>(new OpenJTalk(engine, dictionary, voice, pattern));
}

OpenJTalk::OpenJTalk(std::string engine, std::string dictionary, std::string voice, std::filesystem::path scratch)
    : m_engine(std::move(engine))
    , m_dictionary(std::move(dictionary))
    , m_voice(std::move(voice))
    , m_scratch(std::move(scratch))
{
}

OpenJTalk::~OpenJTalk()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_scratch, ignored);
}

std::optional<std::vector<std::vector<OpenJTalk::Word>>> OpenJTalk::AnalyseEach(const std::vector<std::string>& texts)
{
    std::vector<std::vector<Word>> each;
    size_t next = 0;
    while (next < texts.size()) {
        std::string line = texts[next];
        size_t count = 1;
        while (next + count < texts.size() && line.size() + kPartition.size() + texts[next + count].size() < kLineBytes)
            line += std::string(kPartition) + texts[next + count++];
        std::optional<std::vector<Word>> words = Analyse(line);
        if (!words)
            return std::nullopt;
        each.emplace_back();
        for (Word& word : *words) {
            if (word.surface == kPartition)
                each.emplace_back();
            else
                each.back().push_back(std::move(word));
        }
        next += count;
        if (each.size() != next)
            return std::nullopt;
    }
    return each;
}

std::optional<std::vector<OpenJTalk::Word>> OpenJTalk::Analyse(const std::string& text)
{
    std::filesystem::path input = m_scratch / "text.txt", trace = m_scratch / "trace.txt";
    std::ofstream(input) << text << '\n';
    std::filesystem::remove(trace);
    std::string command = Quoted(m_engine) + " -x " + Quoted(m_dictionary) + " -m " + Quoted(m_voice) + " -r "
        + kFastRate + " -ow /dev/null -ot " + Quoted(trace.string()) + " " + Quoted(input.string()) + " 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return std::nullopt;
    std::ifstream in(trace);
    if (!in)
        return std::nullopt;
    std::vector<Word> words;
    bool inAnalysis = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('[')) {
            inAnalysis = line == "[Text analysis result]";
            continue;
        }
        std::vector<std::string> fields = SplitFields(line);
        if (!inAnalysis || fields.size() <= kReadingField)
            continue;
        // Words the dictionary lacks have no reading: their surface stands.
        const std::string& reading = fields[kReadingField];
        words.push_back({ fields[0], reading == "*" ? fields[0] : reading });
    }
    return words;
}

}
