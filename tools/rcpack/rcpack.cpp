// Packs the files named in resource manifests into a program: writes an
// assembler file that includes each file's bytes and a C++ table naming them,
// plus a depfile so the build repacks when any packed file changes.
//
//   rcpack <asset-dir> <out-dir> <depfile> <manifest>...
//
// Manifest lines: "TYPE ID FILE" or "STRINGS - FILE"; '#' starts a comment.
// FILE is relative to the manifest, or to <asset-dir> when it starts with
// "$ASSETS/". A string table holds "ID<TAB>text" lines in UTF-8 with the
// escapes \n, \t and \\; each string is stored in CP932.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Entry {
    std::string type;
    uint32_t id = 0;
    fs::path file;      // packed with .incbin when set
    std::string bytes;  // packed inline otherwise
};

[[noreturn]] void Fail(const std::string& message)
{
    std::fprintf(stderr, "rcpack: %s\n", message.c_str());
    std::exit(1);
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail("cannot read " + path.string());
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

std::string ToCp932(const std::string& utf8, const std::string& where)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        Fail("iconv has no CP932");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        Fail(where + ": text has a character CP932 cannot hold");
    out.resize(out.size() - outLeft);
    return out;
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return out;
}

void ReadStringTable(const fs::path& path, std::vector<Entry>& entries)
{
    std::istringstream lines(ReadFile(path));
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        size_t tab = line.find('\t');
        std::string where = path.string() + ":" + std::to_string(number);
        if (tab == std::string::npos)
            Fail(where + ": expected ID<TAB>text");
        Entry entry;
        entry.type = "STRING";
        entry.id = static_cast<uint32_t>(std::stoul(line.substr(0, tab)));
        entry.bytes = ToCp932(Unescape(line.substr(tab + 1)), where);
        entries.push_back(std::move(entry));
    }
}

void ReadManifest(const fs::path& manifest, const fs::path& assetDir, std::vector<Entry>& entries,
    std::vector<fs::path>& inputs)
{
    inputs.push_back(manifest);
    std::istringstream lines(ReadFile(manifest));
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (size_t hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream fields(line);
        std::string type, id, file;
        if (!(fields >> type))
            continue;
        if (!(fields >> id >> file))
            Fail(manifest.string() + ":" + std::to_string(number) + ": expected TYPE ID FILE");
        fs::path path = file.rfind("$ASSETS/", 0) == 0 ? assetDir / file.substr(8) : manifest.parent_path() / file;
        inputs.push_back(fs::absolute(path));
        if (type == "STRINGS") {
            ReadStringTable(path, entries);
            continue;
        }
        Entry entry;
        entry.type = type;
        entry.id = static_cast<uint32_t>(std::stoul(id));
        entry.file = fs::absolute(path);
        entries.push_back(std::move(entry));
    }
}

void CheckUnique(const std::vector<Entry>& entries)
{
    std::map<std::pair<std::string, uint32_t>, int> seen;
    for (const Entry& entry : entries)
        if (seen[{ entry.type, entry.id }]++)
            Fail("duplicate resource " + entry.type + " " + std::to_string(entry.id));
}

// FNV-1a, only to make the assembler file change when a packed file does.
uint64_t Hash(const std::string& data)
{
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char byte : data)
        hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

void WriteIfChanged(const fs::path& path, const std::string& text)
{
    std::error_code ec;
    if (fs::exists(path, ec) && ReadFile(path) == text)
        return;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
        Fail("cannot write " + path.string());
}

}

int main(int argc, char** argv)
{
    if (argc < 5)
        Fail("usage: rcpack <asset-dir> <out-dir> <depfile> <manifest>...");
    fs::path assetDir = fs::absolute(argv[1]);
    fs::path outDir = argv[2];
    fs::create_directories(outDir);
    std::vector<fs::path> inputs;
    std::vector<Entry> entries;
    for (int i = 4; i < argc; ++i)
        ReadManifest(fs::absolute(argv[i]), assetDir, entries, inputs);
    CheckUnique(entries);

    std::ostringstream asmText, table, deps;
    asmText << "\t.section .rodata.lumarra_resources,\"a\"\n";
    table << "#include \"platform/Resources.h\"\n\nextern \"C\" {\n";
    deps << (outDir / "resources.S").string() << ":";
    std::ostringstream rows;
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        std::string symbol = "lumarra_res_" + std::to_string(i);
        asmText << "\t.balign 16\n\t.globl " << symbol << "\n\t.hidden " << symbol << "\n" << symbol << ":\n";
        size_t size = 0;
        if (!entry.file.empty()) {
            std::string data = ReadFile(entry.file);
            size = data.size();
            asmText << "\t.incbin \"" << entry.file.string() << "\" /* " << std::hex << Hash(data) << std::dec
                    << " */\n";
        } else {
            size = entry.bytes.size();
            for (size_t b = 0; b < entry.bytes.size(); ++b)
                asmText << (b % 16 ? "," : "\t.byte ") << static_cast<int>(static_cast<unsigned char>(entry.bytes[b]))
                        << (b % 16 == 15 ? "\n" : "");
            if (size % 16)
                asmText << "\n";
        }
        // A zero after every resource lets text resources be read as C strings.
        asmText << "\t.byte 0\n";
        table << "extern const unsigned char " << symbol << "[];\n";
        rows << "    { \"" << entry.type << "\", " << entry.id << "u, " << symbol << ", " << size << "u },\n";
    }
    asmText << "\t.section .note.GNU-stack,\"\",@progbits\n";
    table << "\nextern const lumarra::ResourceEntry lumarra_resource_entries[] = {\n" << rows.str();
    if (entries.empty())
        table << "    { \"\", 0u, nullptr, 0u },\n";
    table << "};\nextern const size_t lumarra_resource_count = " << entries.size() << ";\n}\n";
    for (const fs::path& input : inputs)
        deps << " " << input.string();
    WriteIfChanged(outDir / "resources.S", asmText.str());
    WriteIfChanged(outDir / "resource_table.cpp", table.str());
    std::ofstream(argv[3]) << deps.str() << "\n";
    return 0;
}
