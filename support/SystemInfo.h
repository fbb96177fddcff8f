#pragma once

namespace lumarra {

// Classifies the running system; 0 when it cannot be read.
int GetOsCode();

}
