#include <gtest/gtest.h>

#include "twain/Twain.h"

namespace {

TEST(TwainRecords, PointerFieldsGrowByPointerWidth) {
    // 32-bit sizes plus the growth of each TW_HANDLE / TW_MEMREF field.
    EXPECT_EQ(sizeof(TW_USERINTERFACE), 8 + TWAIN_POINTER_GROWTH);
    EXPECT_EQ(sizeof(TW_EVENT), 6 + TWAIN_POINTER_GROWTH);
    EXPECT_EQ(sizeof(TW_CAPABILITY), 8 + TWAIN_POINTER_GROWTH);
    EXPECT_EQ(sizeof(TW_MEMORY), 12 + TWAIN_POINTER_GROWTH);
    EXPECT_EQ(sizeof(TW_IMAGEMEMXFER), 38 + TWAIN_POINTER_GROWTH);
    EXPECT_EQ(offsetof(TW_IMAGEMEMXFER, BytesWritten), 22u);
    EXPECT_EQ(offsetof(TW_IMAGEMEMXFER, Memory) + offsetof(TW_MEMORY, TheMem), 34u);
    EXPECT_EQ(sizeof(TW_IDENTITY), 156u);
    EXPECT_EQ(offsetof(TW_IDENTITY, ProtocolMajor), 46u);
    EXPECT_EQ(offsetof(TW_IDENTITY, SupportedGroups), 50u);
}

TEST(TwainRecords, Fix32ReadsWholePlusFraction) {
    struct Case {
        TW_INT16 whole;
        TW_UINT16 frac;
        long double value;
    };
    const Case cases[] = {
        {300, 32768, 300.5L}, {-1, 0, -1.0L}, {0, 16384, 0.25L}, {-1, 49152, -0.25L}};
    for (const Case& c : cases) {
        EXPECT_EQ(Fix32ToFloat(TW_FIX32{c.whole, c.frac}), c.value) << c.whole << " " << c.frac;
        const TW_FIX32 back = FloatToFix32(static_cast<double>(c.value));
        EXPECT_EQ(back.Whole, c.whole);
        EXPECT_EQ(back.Frac, c.frac);
    }
}

TEST(TwainRecords, ItemSizesStepTheItemList) {
    const std::pair<TW_UINT16, std::size_t> cases[] = {
        {TWTY_INT8, 1},     {TWTY_INT16, 2},      {TWTY_INT32, 4},     {TWTY_UINT8, 1},
        {TWTY_UINT16, 2},   {TWTY_UINT32, 4},     {TWTY_BOOL, 2},      {TWTY_FIX32, 4},
        {TWTY_FRAME, 16},   {TWTY_STR32, 34},     {TWTY_STR64, 66},    {TWTY_STR128, 130},
        {TWTY_STR255, 256}, {TWTY_STR1024, 1026}, {TWTY_UNI512, 1024}, {15, 0},
        {0xFFFF, 0}};
    for (const auto& [type, size] : cases) EXPECT_EQ(TwainItemSize(type), size) << type;
}

}  // namespace
