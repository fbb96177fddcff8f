#include "platform/RegistryText.h"

#include <cstdio>
#include <optional>

namespace lumarra {

namespace {

constexpr std::string_view kHeaderComment = "; Lumarra settings. Keys stand in [brackets], their values below them.\n"
                                            "; %HH stands for a byte that is not plain printable text.\n";
constexpr size_t kHexBytesPerLine = 24;

bool IsLiteral(unsigned char byte)
{
    return byte >= 0x20 && byte <= 0x7E && byte != '%' && byte != '"' && byte != '\\';
}

void AppendEscaped(std::string& out, std::string_view text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (IsLiteral(byte)) {
            out += c;
        } else {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 15];
        }
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        int high = HexDigit(text[i + 1]);
        int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::string_view Trim(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Splits the text into logical lines: trimmed, with continuation lines (a
// line ending in a backslash) joined to the one before.
class LineReader {
public:
    explicit LineReader(std::string_view text)
        : m_text(text)
    {
    }

    // False at the end of the text or when a line is over the limit.
    bool Next(std::string& line)
    {
        line.clear();
        while (m_pos < m_text.size()) {
            std::string_view part = Trim(TakePhysicalLine());
            if (line.size() + part.size() > kMaxRegistryLineBytes) {
                m_failed = true;
                return false;
            }
            line += part;
            if (line.empty() || line.back() != '\\')
                return true;
            line.pop_back();
        }
        return !line.empty();
    }

    bool Failed() const { return m_failed; }

private:
    std::string_view TakePhysicalLine()
    {
        size_t end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos)
            end = m_text.size();
        std::string_view line = m_text.substr(m_pos, end - m_pos);
        m_pos = end + 1;
        return line;
    }

    std::string_view m_text;
    size_t m_pos = 0;
    bool m_failed = false;
};

// Reads one store file into a tree; every method fails on the first fault.
class RegistryParser {
public:
    RegistryParser(std::string_view rootName, RegistryNode& root)
        : m_rootName(RegistryNode::FoldName(rootName))
        , m_root(root)
    {
    }

    bool ParseLine(std::string_view line)
    {
        if (line.empty() || line.front() == ';' || line.front() == '#')
            return true;
        if (line.front() == '[')
            return ParseHeader(line);
        return m_key && ParseValue(line);
    }

private:
    bool ParseHeader(std::string_view line)
    {
        if (line.back() != ']')
            return false;
        std::string_view path = line.substr(1, line.size() - 2);
        size_t slash = path.find('\\');
        if (RegistryNode::FoldName(path.substr(0, slash)) != m_rootName)
            return false;
        RegistryNode* key = &m_root;
        size_t depth = 0;
        while (slash != std::string_view::npos) {
            path.remove_prefix(slash + 1);
            slash = path.find('\\');
            std::optional<std::string> name = Unescape(path.substr(0, slash));
            if (!name || name->empty() || name->size() > kMaxRegistryKeyNameBytes || ++depth > kMaxRegistryDepth)
                return false;
            key = &key->AddSubKey(*name);
        }
        m_key = key;
        return true;
    }

    bool ParseValue(std::string_view line)
    {
        RegistryValue value;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            std::optional<std::string> name = TakeQuoted(line);
            if (!name || name->size() > kMaxRegistryValueNameBytes)
                return false;
            value.name = std::move(*name);
        }
        if (line.empty() || line.front() != '=')
            return false;
        line.remove_prefix(1);
        if (!ParseData(line, value) || value.data.size() > kMaxRegistryValueBytes)
            return false;
        m_key->SetValue(std::move(value));
        return true;
    }

    // Takes "..." from the front of `line` and returns its unescaped text.
    static std::optional<std::string> TakeQuoted(std::string_view& line)
    {
        if (line.empty() || line.front() != '"')
            return std::nullopt;
        size_t close = line.find('"', 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        std::optional<std::string> text = Unescape(line.substr(1, close - 1));
        line.remove_prefix(close + 1);
        return text;
    }

    static bool ParseData(std::string_view data, RegistryValue& value)
    {
        if (!data.empty() && data.front() == '"') {
            std::optional<std::string> text = TakeQuoted(data);
            if (!text || !data.empty())
                return false;
            value.type = REG_SZ;
            value.data.assign(text->begin(), text->end());
            value.data.push_back(0);
            return true;
        }
        if (data.starts_with("dword:")) {
            std::optional<uint32_t> number = ParseHexNumber(data.substr(6));
            if (!number)
                return false;
            value.type = REG_DWORD;
            for (int shift = 0; shift < 32; shift += 8)
                value.data.push_back(static_cast<uint8_t>(*number >> shift));
            return true;
        }
        if (data.starts_with("hex:")) {
            value.type = REG_BINARY;
            return ParseHexBytes(data.substr(4), value.data);
        }
        if (data.starts_with("hex(")) {
            size_t close = data.find("):");
            if (close == std::string_view::npos)
                return false;
            std::optional<uint32_t> type = ParseHexNumber(data.substr(4, close - 4));
            if (!type)
                return false;
            value.type = *type;
            return ParseHexBytes(data.substr(close + 2), value.data);
        }
        return false;
    }

    static std::optional<uint32_t> ParseHexNumber(std::string_view digits)
    {
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        uint32_t number = 0;
        for (char c : digits) {
            int digit = HexDigit(c);
            if (digit < 0)
                return std::nullopt;
            number = number * 16 + static_cast<uint32_t>(digit);
        }
        return number;
    }

    // "01,02,ff": pairs of hex digits separated by commas; may be empty.
    static bool ParseHexBytes(std::string_view list, std::vector<uint8_t>& bytes)
    {
        if (list.empty())
            return true;
        for (size_t pos = 0;; pos += 3) {
            if (pos + 2 > list.size() || bytes.size() >= kMaxRegistryValueBytes)
                return false;
            int high = HexDigit(list[pos]);
            int low = HexDigit(list[pos + 1]);
            if (high < 0 || low < 0)
                return false;
            bytes.push_back(static_cast<uint8_t>(high * 16 + low));
            if (pos + 2 == list.size())
                return true;
            if (list[pos + 2] != ',')
                return false;
        }
    }

    std::string m_rootName;
    RegistryNode& m_root;
    RegistryNode* m_key = nullptr;
};

class RegistryPrinter {
public:
    explicit RegistryPrinter(std::string& out)
        : m_out(out)
    {
    }

    // `path` is the escaped path of `key`; it grows and shrinks back while the
    // sub-keys are printed, so deep trees cost one path, not one per level.
    void PrintKey(const RegistryNode& key, std::string& path, bool isRoot)
    {
        bool keepEmpty = !isRoot && key.GetSubKeyCount() == 0;
        if (key.GetValueCount() > 0 || keepEmpty) {
            m_out += "\n[";
            m_out += path;
            m_out += "]\n";
            key.ForEachValue([&](const RegistryValue& value) { PrintValue(value); });
        }
        size_t length = path.size();
        key.ForEachSubKey([&](const RegistryNode& subKey) {
            path += '\\';
            AppendEscaped(path, subKey.GetName());
            PrintKey(subKey, path, false);
            path.resize(length);
        });
    }

private:
    void PrintValue(const RegistryValue& value)
    {
        if (value.name.empty()) {
            m_out += '@';
        } else {
            m_out += '"';
            AppendEscaped(m_out, value.name);
            m_out += '"';
        }
        m_out += '=';
        const std::vector<uint8_t>& data = value.data;
        if (IsPlainString(value)) {
            m_out += '"';
            AppendEscaped(m_out, std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
            m_out += '"';
        } else if (value.type == REG_DWORD && data.size() == 4) {
            uint32_t number = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
            Appendf("dword:%08x", number);
        } else {
            if (value.type == REG_BINARY)
                m_out += "hex:";
            else
                Appendf("hex(%x):", value.type);
            PrintHexBytes(data);
        }
        m_out += '\n';
    }

    // A REG_SZ that holds one text and its terminating zero and nothing else.
    static bool IsPlainString(const RegistryValue& value)
    {
        const std::vector<uint8_t>& data = value.data;
        if (value.type != REG_SZ || data.empty() || data.back() != 0)
            return false;
        for (size_t i = 0; i + 1 < data.size(); ++i)
            if (data[i] == 0)
                return false;
        return true;
    }

    void PrintHexBytes(const std::vector<uint8_t>& data)
    {
        for (size_t i = 0; i < data.size(); ++i) {
            if (i > 0)
                m_out += (i % kHexBytesPerLine == 0) ? ",\\\n  " : ",";
            Appendf("%02x", data[i]);
        }
    }

    template <typename... Args>
    void Appendf(const char* format, Args... args)
    {
        char buffer[16];
        int length = std::snprintf(buffer, sizeof buffer, format, args...);
        m_out.append(buffer, static_cast<size_t>(length));
    }

    std::string& m_out;
};

}

bool ParseRegistryText(std::string_view text, std::string_view rootName, RegistryNode& root)
{
    root = RegistryNode(std::string(rootName));
    if (text.empty())
        return true;
    if (text.size() > kMaxRegistryFileBytes)
        return false;
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());

    LineReader reader(text);
    std::string line;
    bool ok = reader.Next(line);
    bool needsEnd = line == kRegistryTextSignature;
    ok = ok && (needsEnd || line == kRegistryTextSignatureWithoutEnd);
    RegistryParser parser(rootName, root);
    bool ended = false;
    while (ok && reader.Next(line)) {
        if (ended)
            ok = line.empty();
        else if (needsEnd && line == kRegistryTextEnd)
            ended = true;
        else
            ok = parser.ParseLine(line);
    }
    if (!ok || reader.Failed() || ended != needsEnd) {
        root = RegistryNode(std::string(rootName));
        return false;
    }
    return true;
}

std::string PrintRegistryText(const RegistryNode& root, std::string_view rootName)
{
    std::string out(kRegistryTextSignature);
    out += '\n';
    out += kHeaderComment;
    std::string path;
    AppendEscaped(path, rootName);
    RegistryPrinter(out).PrintKey(root, path, true);
    out += '\n';
    out += kRegistryTextEnd;
    out += '\n';
    return out;
}

}
