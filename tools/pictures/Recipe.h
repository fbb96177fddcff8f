#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

// One line of a picture recipe: a command word, its plain arguments and its
// key=value settings. Lines are UTF-8; '#' at a line's start makes a comment.
struct RecipeLine {
    int number = 0;
    std::string command;
    std::vector<std::string> args;
    std::map<std::string, std::string, std::less<>> settings;

    std::string Get(std::string_view key, std::string_view fallback = {}) const;
    // A decimal number, or `fallback` when absent or not a number.
    int GetInt(std::string_view key, int fallback) const;
    // A color written as RRGGBB hex.
    uint32_t GetColor(std::string_view key, uint32_t fallback) const;
};

// A parsed recipe file. Parsing never fails: malformed lines are reported in
// `errors` (with their line numbers) and left out.
struct Recipe {
    std::vector<RecipeLine> lines;
    std::vector<std::string> errors;

    static Recipe Parse(std::string_view text);
    static std::optional<Recipe> Load(const std::string& path);
    std::vector<const RecipeLine*> Find(std::string_view command) const;
    const RecipeLine* First(std::string_view command) const;
};

// Parses "RRGGBB" (optionally "0x" or "#" first); nullopt otherwise.
std::optional<uint32_t> ParseColor(std::string_view text);
// Parses a whole decimal integer; nullopt otherwise.
std::optional<int> ParseInt(std::string_view text);

}
