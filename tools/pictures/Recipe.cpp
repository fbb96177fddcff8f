#include "tools/pictures/Recipe.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace lumarra {

namespace {

// Longest line a recipe may hold; anything longer is a mistake.
constexpr size_t kMaxLineBytes = 4096;

std::vector<std::string> SplitWords(std::string_view line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

}

std::optional<int> ParseInt(std::string_view text)
{
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<uint32_t> ParseColor(std::string_view text)
{
    if (text.starts_with("0x") || text.starts_with("0X"))
        text.remove_prefix(2);
    else if (text.starts_with("#"))
        text.remove_prefix(1);
    if (text.size() != 6)
        return std::nullopt;
    uint32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string RecipeLine::Get(std::string_view key, std::string_view fallback) const
{
    auto it = settings.find(key);
    return std::string(it == settings.end() ? fallback : std::string_view(it->second));
}

int RecipeLine::GetInt(std::string_view key, int fallback) const
{
    auto it = settings.find(key);
    if (it == settings.end())
        return fallback;
    return ParseInt(it->second).value_or(fallback);
}

uint32_t RecipeLine::GetColor(std::string_view key, uint32_t fallback) const
{
    auto it = settings.find(key);
    if (it == settings.end())
        return fallback;
    return ParseColor(it->second).value_or(fallback);
}

Recipe Recipe::Parse(std::string_view text)
{
    Recipe recipe;
    int number = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > kMaxLineBytes) {
            recipe.errors.push_back("line " + std::to_string(number) + ": too long");
            continue;
        }
        std::vector<std::string> words = SplitWords(line);
        if (words.empty() || words[0][0] == '#')
            continue;
        RecipeLine parsed;
        parsed.number = number;
        parsed.command = words[0];
        for (size_t i = 1; i < words.size(); ++i) {
            size_t equals = words[i].find('=');
            if (equals == std::string::npos)
                parsed.args.push_back(words[i]);
            else if (equals == 0)
                recipe.errors.push_back("line " + std::to_string(number) + ": setting without a name");
            else
                parsed.settings[words[i].substr(0, equals)] = words[i].substr(equals + 1);
        }
        recipe.lines.push_back(std::move(parsed));
    }
    return recipe;
}

std::optional<Recipe> Recipe::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

std::vector<const RecipeLine*> Recipe::Find(std::string_view command) const
{
    std::vector<const RecipeLine*> found;
    for (const RecipeLine& line : lines)
        if (line.command == command)
            found.push_back(&line);
    return found;
}

const RecipeLine* Recipe::First(std::string_view command) const
{
    for (const RecipeLine& line : lines)
        if (line.command == command)
            return &line;
    return nullptr;
}

}
