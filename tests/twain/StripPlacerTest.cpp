#include <vector>

#include <gtest/gtest.h>

#include "twain/StripPlacer.h"

namespace {

using twain::StripPlacer;

TEST(StripPlacer, FillsBottomUpMemoryFromTheTopRow) {
    // 3 rows of 4 bytes; memory row 2 is the picture's top row.
    std::vector<std::uint8_t> bits(12, 0);
    StripPlacer placer(bits.data(), 4, 4, 3, true, false);
    std::vector<int> rows;
    const std::uint8_t strip1[] = {1, 2, 3, 4, 5, 6};
    const std::uint8_t strip2[] = {7, 8, 9, 10, 11, 12};
    placer.Place(strip1, sizeof strip1, [&](int row) { rows.push_back(row); });
    EXPECT_EQ(rows, std::vector<int>{0});
    placer.Place(strip2, sizeof strip2, [&](int row) { rows.push_back(row); });
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(bits, (std::vector<std::uint8_t>{9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4}));
    EXPECT_TRUE(placer.Full());
}

TEST(StripPlacer, DropsBytesPastTheLastRow) {
    std::vector<std::uint8_t> bits(8 + 4, 0xAA);  // 4 guard bytes past the 2 rows
    StripPlacer placer(bits.data(), 4, 4, 2, false, false);
    const std::vector<std::uint8_t> tooMuch(100, 1);
    placer.Place(tooMuch.data(), tooMuch.size(), nullptr);
    EXPECT_EQ(placer.RowsDone(), 2);
    for (std::size_t i = 8; i < bits.size(); ++i) EXPECT_EQ(bits[i], 0xAA) << i;
    placer.Place(tooMuch.data(), tooMuch.size(), nullptr);
    EXPECT_EQ(placer.RowsDone(), 2);
}

TEST(StripPlacer, SwapsRedAndBlueOfCompletedRows) {
    // Two 24-bit pixels in an 8-byte row.
    std::vector<std::uint8_t> bits(8, 0);
    StripPlacer placer(bits.data(), 8, 2, 1, true, true);
    const std::uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 7, 8};
    placer.Place(rgb, 7, nullptr);
    EXPECT_EQ(bits[0], 1);  // not swapped before the row is complete
    placer.Place(rgb + 7, 1, nullptr);
    EXPECT_EQ(bits, (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4, 7, 8}));
}

TEST(StripPlacer, SwapStaysInsideNarrowRows) {
    // An 8-bit row marked RGB: 4 pixels but only one whole three-byte group fits.
    std::vector<std::uint8_t> bits(4 + 4, 0xAA);
    StripPlacer placer(bits.data(), 4, 4, 1, true, true);
    const std::uint8_t row[] = {1, 2, 3, 4};
    placer.Place(row, 4, nullptr);
    EXPECT_EQ(bits, (std::vector<std::uint8_t>{3, 2, 1, 4, 0xAA, 0xAA, 0xAA, 0xAA}));
}

}  // namespace
