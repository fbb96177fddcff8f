#pragma once

#include <cstddef>
#include <vector>

namespace lumarra {

// A small room (four damped combs into two allpasses) that softens dry
// synthesised notes.
class Reverb {
public:
    explicit Reverb(int rate);

    // Adds the room's answer to `signal`, scaled by `wet` (0 to 1).
    void Apply(std::vector<float>& signal, float wet);

private:
    struct Comb {
        std::vector<float> line;
        std::size_t index = 0;
        float memory = 0;
    };
    struct Allpass {
        std::vector<float> line;
        std::size_t index = 0;
    };

    float Process(float input);

    std::vector<Comb> m_combs;
    std::vector<Allpass> m_allpasses;
};

}
