#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumarra {

// Open JTalk as the asset build runs it, asked only for its text analysis:
// the words of a text with the readings its dictionary gives them.
class OpenJTalk {
public:
    struct Word {
        std::string surface;
        std::string reading;  // katakana, as the dictionary has it
    };

    // The engine, dictionary and voice named by LUMARRA_OPEN_JTALK,
    // LUMARRA_OPEN_JTALK_DICTIONARY and LUMARRA_OPEN_JTALK_VOICE; null when
    // one is unset (the build found no Open JTalk).
    static std::unique_ptr<OpenJTalk> FromEnvironment();
    ~OpenJTalk();
    OpenJTalk(const OpenJTalk&) = delete;
    OpenJTalk& operator=(const OpenJTalk&) = delete;

    // The words of each of `texts` (UTF-8, one line each, none holding
    // "■"); nullopt when the engine fails.
    std::optional<std::vector<std::vector<Word>>> AnalyseEach(const std::vector<std::string>& texts);

private:
    OpenJTalk(std::string engine, std::string dictionary, std::string voice, std::filesystem::path scratch);
    std::optional<std::vector<Word>> Analyse(const std::string& line);

    std::string m_engine;
    std::string m_dictionary;
    std::string m_voice;
    std::filesystem::path m_scratch;
};

}
