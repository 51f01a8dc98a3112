#include <gtest/gtest.h>

#include "twain/MemoryImageHeader.h"

namespace {

using namespace twain;

TEST(MemoryImageHeader, ImageSizeRoundsUpToTheNextMultiple) {
    struct Case {
        std::uint64_t size;
        std::uint32_t preferred;
        std::optional<std::uint32_t> rounded;
    };
    const Case cases[] = {{3000, 1000, 4000},
                          {3000, 700, 3500},
                          {0, 64, 64},
                          {3000, 0, std::nullopt},
                          {0xFFFFFFFFull, 0x10000, std::nullopt},
                          {0xFFFEFFFFull, 0x10000, 0xFFFF0000u}};
    for (const Case& c : cases)
        EXPECT_EQ(RoundedImageSize(c.size, c.preferred), c.rounded) << c.size;
}

TEST(MemoryImageHeader, RowLengthIsPaddedToFourBytes) {
    EXPECT_EQ(DibRowLength(24, 2), 8u);
    EXPECT_EQ(DibRowLength(1, 33), 8u);
    EXPECT_EQ(DibRowLength(8, 4), 4u);
    EXPECT_EQ(DibRowLength(32, 1000000), 4000000u);
    EXPECT_EQ(DibRowLength(-8, 4), 0u);
}

TEST(MemoryImageHeader, ResolutionInPixelsPerMetre) {
    EXPECT_EQ(PelsPerMeter(300, suInches), 11811);
    EXPECT_EQ(PelsPerMeter(120, suCentimeters), 12000);
    EXPECT_EQ(PelsPerMeter(300, suPixels), 0);
    EXPECT_EQ(PelsPerMeter(300, suUnknown), 0);
    EXPECT_EQ(PelsPerMeter(32767.99L, suCentimeters), 3276799);
}

}  // namespace
