#include "report/ImageNameRandom.h"

#include <chrono>
#include <random>

namespace {

std::mt19937& generator() {
    static std::mt19937 engine{std::random_device{}()};
    return engine;
}

}  // namespace

void SeedImageNameRandom() {
    generator().seed(static_cast<std::mt19937::result_type>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

std::uint32_t ImageNameRandom(std::uint32_t bound) {
    return std::uniform_int_distribution<std::uint32_t>(0, bound - 1)(generator());
}
