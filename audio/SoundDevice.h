#pragma once

#include <memory>

namespace lumarra {

class AudioDevice;

// The process-wide sound device. 1 when it opened; 0 when one is already
// open (which stays as it is) or no output could be opened, in which case
// every sound operation fails quietly and the game is silent.
int OpenSoundDevice();
// Closes the device; voices made on it are gone with it.
void CloseSoundDevice();

// The open device, or null.
std::shared_ptr<AudioDevice> GetSoundDevice();

}
