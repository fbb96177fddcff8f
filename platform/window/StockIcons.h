#pragma once

#include <memory>

namespace lumarra {

class Icon;

// The system icons message boxes show (IDI_INFORMATION, IDI_QUESTION),
// drawn once: a blue disc with a white "i" or "?".
std::shared_ptr<const Icon> GetInformationIcon();
std::shared_ptr<const Icon> GetQuestionIcon();

}
