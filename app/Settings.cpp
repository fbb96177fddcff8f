#include "app/Settings.h"

#include "support/FileIo.h"
#include "support/FilePaths.h"
#include "support/RegistryStore.h"

#include <cstdint>
#include <string>

namespace lumarra {

namespace {

constexpr const char* kSettingsKey = "HKEY_CURRENT_USER\\Software\\Orvella\\Korimba";
constexpr const char* kClickModeValue = "bClick";
constexpr const char* kMusicValue = "bMusic";
constexpr const char* kMaskAtStartValue = "bMaskRun";
constexpr int kClickModeDefault = 1;
constexpr int kMusicDefault = 1;
constexpr int kMaskAtStartDefault = 0;

constexpr const char* kWelcomeFileName = "startup.ini";
constexpr const char* kNoWelcomeText = "NoWelcome";

int ReadSwitch(const char* name, int defaultValue)
{
    int32_t value = defaultValue;
    RegistryStore(kSettingsKey).ReadDword("", name, value);
    return value;
}

void WriteSwitch(const char* name, int value)
{
    RegistryStore(kSettingsKey).WriteDword("", name, static_cast<int32_t>(value));
}

// Empty when the program folder is unknown, so nothing is written elsewhere.
std::string WelcomeFilePath()
{
    std::string folder = GetModuleFolder();
    return folder.empty() ? std::string() : JoinPath(folder, kWelcomeFileName);
}

}

int ReadClickMode()
{
    return ReadSwitch(kClickModeValue, kClickModeDefault);
}

void WriteClickMode(int clickMode)
{
    WriteSwitch(kClickModeValue, clickMode);
}

int ReadMusicSwitch()
{
    return ReadSwitch(kMusicValue, kMusicDefault);
}

void WriteMusicSwitch(int musicOn)
{
    WriteSwitch(kMusicValue, musicOn);
}

int ReadMaskAtStart()
{
    return ReadSwitch(kMaskAtStartValue, kMaskAtStartDefault);
}

void WriteMaskAtStart(int maskAtStart)
{
    WriteSwitch(kMaskAtStartValue, maskAtStart);
}

int IsWelcomeSwitchedOff()
{
    std::string path = WelcomeFilePath();
    if (path.empty() || !FileExists(path))
        return 0;
    return ReadTextFile(path).find(kNoWelcomeText) != std::string::npos ? 1 : 0;
}

int SwitchWelcomeOff()
{
    std::string path = WelcomeFilePath();
    return path.empty() ? 0 : WriteTextFile(path, kNoWelcomeText);
}

int SwitchWelcomeOn()
{
    std::string path = WelcomeFilePath();
    if (path.empty())
        return 0;
    return DeleteFile(path) || !FileExists(path) ? 1 : 0;
}

}
