#pragma once

#include "platform/RegistryFile.h"
#include "platform/RegistryText.h"
#include "tests/support/TestScopes.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace lumarra::test {

// "<prefix><number>", a value name for tests that write many.
inline std::string NumberedName(std::string prefix, long number)
{
    prefix += std::to_string(number);
    return prefix;
}

// Points the registry at a fresh folder of its own for one test, removed with
// all it holds at the end. Tests that write thousands of times can ask for a
// folder in memory (/dev/shm when there is one): locking and renaming work
// the same there, without waiting for the disk at every write.
class TestRegistry {
public:
    enum class Medium {
        Disk,
        Memory,
    };

    explicit TestRegistry(Medium medium = Medium::Disk)
        : m_folder(MakeFolder(medium))
        , m_scope("LUMARRA_REGISTRY_DIR", m_folder.c_str())
    {
    }
    ~TestRegistry()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;

    const std::string& GetFolder() const { return m_folder; }
    std::string Native(const std::string& name) const { return m_folder + "/" + name; }
    std::string GetStorePath(const std::string& root = "HKEY_CURRENT_USER") const { return Native(root + ".reg"); }
    std::string ReadStore(const std::string& root = "HKEY_CURRENT_USER") const { return ReadFile(GetStorePath(root)); }

    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static void WriteFile(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

private:
    static std::string MakeFolder(Medium medium)
    {
        std::filesystem::path base = std::filesystem::temp_directory_path();
        std::error_code error;
        if (medium == Medium::Memory && std::filesystem::is_directory("/dev/shm", error)
            && ::access("/dev/shm", W_OK) == 0)
            base = "/dev/shm";
        std::string pattern = (base / "lumarra-registry-XXXXXX").string();
        return ::mkdtemp(pattern.data()) ? pattern : std::string();
    }

    std::string m_folder;
    EnvironmentScope m_scope;
};

}
