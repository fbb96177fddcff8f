#pragma once

#include "platform/CodePage.h"
#include "platform/NativePath.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace lumarra::test {

// A fresh folder under the system's temporary folder, removed with all it
// holds when the test ends.
class TestFolder {
public:
    TestFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumarra-files-XXXXXX").string();
        m_native = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TestFolder()
    {
        std::error_code ignored;
        if (!m_native.empty())
            std::filesystem::remove_all(m_native, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& GetNative() const { return m_native; }
    std::string Native(const std::string& name) const { return m_native + "/" + name; }
    // The internal path of `name` inside the folder, in the system code page.
    std::string Internal(const std::string& name = {}) const
    {
        std::string folder = ToInternalPath(m_native);
        return name.empty() ? folder : folder + "\\" + name;
    }

private:
    std::string m_native;
};

class CodePageScope {
public:
    explicit CodePageScope(CodePage codePage)
        : m_saved(GetSystemCodePage())
    {
        SetSystemCodePage(codePage);
    }
    ~CodePageScope() { SetSystemCodePage(m_saved); }
    CodePageScope(const CodePageScope&) = delete;
    CodePageScope& operator=(const CodePageScope&) = delete;

private:
    CodePage m_saved;
};

class EnvironmentScope {
public:
    EnvironmentScope(const char* name, const char* value)
        : m_name(name)
    {
        const char* old = std::getenv(name);
        m_hadValue = old != nullptr;
        if (old)
            m_saved = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~EnvironmentScope()
    {
        if (m_hadValue)
            ::setenv(m_name, m_saved.c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    const char* m_name;
    bool m_hadValue = false;
    std::string m_saved;
};

}
