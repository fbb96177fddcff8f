#include "tools/pictures/DeckSheets.h"

#include "tools/pictures/CardPainter.h"
#include "tools/pictures/ColorQuantizer.h"
#include "tools/pictures/DeckLayout.h"
#include "tools/pictures/EmojiFont.h"
#include "tools/pictures/PictureFiles.h"

#include <fstream>
#include <sstream>

namespace lumarra {

namespace {

// Error diffusion strength for the IMG sheets: enough to keep the emoji's
// shading smooth without speckling the flat paper.
constexpr float kSheetDither = 0.75f;
// The small sheet is painted three times larger and shrunk, which keeps its
// kana and outlines crisp.
constexpr int kSmallOversample = 3;

// One picture however it is spelt: an emoji with or without its variation
// selector is the same picture.
std::u32string PictureKey(const std::string& name)
{
    constexpr char32_t kVariationFirst = 0xFE00;
    constexpr char32_t kVariationLast = 0xFE0F;
    std::u32string points = DecodeUtf8(name);
    std::erase_if(points, [](char32_t c) { return c >= kVariationFirst && c <= kVariationLast; });
    return points;
}

const DeckLayout* LayoutOf(const RecipeLine* deck)
{
    return deck && !deck->args.empty() ? DeckLayout::Find(deck->args[0]) : nullptr;
}

}

std::map<int, std::string> LoadStringTable(const std::filesystem::path& path)
{
    std::map<int, std::string> strings;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos)
            continue;
        if (std::optional<int> id = ParseInt(std::string_view(line).substr(0, tab)))
            strings[*id] = line.substr(tab + 1);
    }
    return strings;
}

DeckSheets::DeckSheets(EmojiFont& emoji, const Recipe& recipe, std::map<int, std::string> strings)
    : m_emoji(emoji)
    , m_deck(recipe.First("deck"))
    , m_strings(std::move(strings))
    , m_errors(recipe.errors)
{
    const DeckLayout* layout = LayoutOf(m_deck);
    if (!layout) {
        m_errors.push_back("no known deck line");
        return;
    }
    // A child matches the reading to its card by the main picture: two cards
    // of a deck must never share it.
    std::map<std::u32string, int> cardOfMain;
    for (const RecipeLine* card : recipe.Find("card")) {
        std::string where = "line " + std::to_string(card->number) + ": ";
        std::optional<int> r = card->args.empty() ? std::nullopt : ParseInt(card->args[0]);
        if (!r || card->args.size() < 2) {
            m_errors.push_back(where + "expected card <ReadIndex> <emoji>...");
            continue;
        }
        std::vector<std::string> names(card->args.begin() + 1, card->args.end());
        CardPainter painter(m_emoji);
        for (const std::string& missing : painter.Missing({ "", names, 0, false }))
            m_errors.push_back(where + "no emoji " + missing);
        auto [first, added] = cardOfMain.try_emplace(PictureKey(names[0]), *r);
        if (!added)
            m_errors.push_back(where + "card " + std::to_string(*r) + " repeats the main picture of card "
                + std::to_string(first->second));
        m_cards[*r] = std::move(names);
    }
    for (int code : layout->cards) {
        int r = layout->ReadIndexOf(code);
        if (!m_cards.contains(r))
            m_errors.push_back("card " + std::to_string(r) + " has no picture");
        if (!m_strings.contains(layout->KanaStringId(code)))
            m_errors.push_back("card " + std::to_string(r) + " has no head kana");
    }
}

Canvas DeckSheets::PaintSheet(const SheetSize& size)
{
    const DeckLayout* layout = LayoutOf(m_deck);
    Canvas sheet(size.cellWidth * kSheetColumns, size.cellHeight * kSheetRows);
    sheet.Clear(Paint::Hex(0));
    if (!layout)
        return sheet;
    CardPainter painter(m_emoji);
    bool small = size.compact;
    for (int code : layout->cards) {
        CardDesign design;
        design.kana = m_strings[layout->KanaStringId(code)];
        design.emoji = m_cards[layout->ReadIndexOf(code)];
        design.frame = m_deck->GetColor("frame", 0x404040);
        design.wordBand = layout->kind == DeckKind::Kana;
        int oversample = small ? kSmallOversample : 1;
        Canvas card = painter.Paint(design, size.cellWidth * oversample, size.cellHeight * oversample, small);
        float x = static_cast<float>((code - 1) % kSheetColumns * size.cellWidth);
        float y = static_cast<float>((code - 1) / kSheetColumns * size.cellHeight);
        sheet.DrawCanvas(card, x, y, static_cast<float>(size.cellWidth), static_cast<float>(size.cellHeight));
    }
    return sheet;
}

bool DeckSheets::Write(const std::filesystem::path& outDir, const std::filesystem::path& contactDir)
{
    if (!m_errors.empty())
        return false;
    bool img = m_deck->Get("format") == "img";
    int colors = m_deck->GetInt("colors", 256);
    bool ok = true;
    for (const SheetSize* size : { &kLargeSheet, &kTableSheet, &kSmallSheet }) {
        int id = m_deck->GetInt(size->name, 0);
        Canvas sheet = PaintSheet(*size);
        std::vector<uint32_t> rgb = Flatten(sheet, false);
        std::vector<uint8_t> bytes;
        std::string file;
        if (img) {
            const uint32_t keep[] = { 0x000000 };
            IndexedImage indexed
                = ColorQuantizer::Quantize(sheet.GetWidth(), sheet.GetHeight(), rgb, colors, kSheetDither, keep);
            ok = ok && ImgEncoder::Encode(indexed.width, indexed.height, indexed.indices, indexed.colors, {}, bytes);
            for (size_t i = 0; i < rgb.size(); ++i) {
                const ImgColor& c = indexed.colors[indexed.indices[i]];
                rgb[i] = uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
            }
            file = "img" + std::to_string(id) + ".img";
        } else {
            bytes = EncodeBitmapResource(sheet.GetWidth(), sheet.GetHeight(), rgb);
            file = "bitmap" + std::to_string(id) + ".dib";
        }
        ok = ok && !bytes.empty() && WriteBytes(outDir / file, bytes);
        std::string contact = std::string(m_deck->args[0]) + "-" + size->name + ".png";
        ok = ok && WriteBytes(contactDir / contact, EncodePng(sheet.GetWidth(), sheet.GetHeight(), rgb));
    }
    return ok;
}

}
