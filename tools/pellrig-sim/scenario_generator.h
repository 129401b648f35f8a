#pragma once

#include <cstdint>

#include "scenario.h"

// Makes up a server list of any size for tests and benchmarks. The same
// options give the same servers on every platform: the generator uses its own
// arithmetic on std::mt19937, never the library's distributions.

struct GeneratorOptions {
    int count = 0;
    uint32_t seed = 1;
    double silentFraction = 0;  // round(count * fraction) servers never answer
    double delayMinMs = 5;
    double delayMaxMs = 120;
};

Scenario generateScenario(const GeneratorOptions& options);
