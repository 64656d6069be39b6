#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumo::fuzz {

struct Seed {
    std::string name;
    std::vector<uint8_t> bytes;
    int calls;  // calls written
};

// One meaningful call sequence per feature: the fuzzer's starting corpus and
// an ordinary test of the call player.
std::vector<Seed> seedInputs();

}  // namespace lumo::fuzz
