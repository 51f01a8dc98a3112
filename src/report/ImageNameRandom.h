#pragma once

#include <cstdint>

// The process's pseudo-random numbers for image names: seeded from the clock each time a
// picture item is created, as the original toolkit's generator was.
void SeedImageNameRandom();
// A number from 0 to bound - 1.
std::uint32_t ImageNameRandom(std::uint32_t bound);
