#pragma once

namespace lumarra {

// The first two numbers of the running executable's FileVersion, as the
// caption and the version box show them; 0.0 when they cannot be read.
struct ProgramVersion {
    int major = 0;
    int minor = 0;

    // Read from the executable itself, wherever the program folder is: with
    // LUMARRA_HOME set the folder holds only data, not the program.
    static ProgramVersion Read();
};

}
