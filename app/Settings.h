#pragma once

namespace lumarra {

// The switches the game keeps between runs. Three live per user in the
// registry key "HKEY_CURRENT_USER\Software\Orvella\Korimba" as REG_DWORD
// values; a read that fails gives the switch's default, and a write that
// fails is ignored, so the game goes on with its in-memory value.

// "bClick": non-zero for click mode, 0 for hover mode. Default 1.
int ReadClickMode();
void WriteClickMode(int clickMode);

// "bMusic": 1 when the background music plays. Default 1.
int ReadMusicSwitch();
void WriteMusicSwitch(int musicOn);

// "bMaskRun": 1 to switch the desktop mask on at start. Default 0.
int ReadMaskAtStart();
void WriteMaskAtStart(int maskAtStart);

// The welcome dialog is switched off by a "startup.ini" in the program folder
// whose text contains "NoWelcome" anywhere; the file is not otherwise read.
int IsWelcomeSwitchedOff();
// Writes "startup.ini" with the single word "NoWelcome"; 1 on success.
int SwitchWelcomeOff();
// Deletes "startup.ini"; 1 when it is gone.
int SwitchWelcomeOn();

}
