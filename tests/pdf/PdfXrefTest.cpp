#include <gtest/gtest.h>

#include "pdf/PdfTypes.h"
#include "pdf/PdfXref.h"

TEST(PdfXref, StartsWithTheFreeHeadEntry) {
    TPdfXref xref;
    ASSERT_EQ(xref.EntryCount(), 1);
    EXPECT_EQ(xref.Entry(0).EntryType(), "f");
    EXPECT_EQ(xref.Entry(0).GenerationNumber(), 65535);
    EXPECT_EQ(xref.Entry(0).ByteOffset(), -1);
    EXPECT_EQ(xref.Entry(0).Value(), nullptr);
}

TEST(PdfXref, NumbersObjectsInRegistrationOrder) {
    TPdfXref xref;
    for (int expected = 1; expected <= 3; ++expected) {
        TPdfObject& object = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
        EXPECT_EQ(object.ObjectNumber(), expected);
        EXPECT_EQ(object.Kind(), okIndirect);
        EXPECT_EQ(xref.ObjectAt(expected), &object);
        EXPECT_EQ(xref.Entry(expected).EntryType(), "n");
        EXPECT_EQ(xref.Entry(expected).ByteOffset(), -1);
    }
    EXPECT_EQ(xref.EntryCount(), 4);
    EXPECT_THROW(xref.ObjectAt(4), EListError);
    EXPECT_THROW(xref.ObjectAt(-1), EListError);
}

TEST(PdfXref, RefusesObjectsThatAreNotDirect) {
    TPdfXref xref;
    try {
        xref.AddObject(TPdfVirtualObject::CreateVirtual(3));
        FAIL() << "a proxy was registered";
    } catch (const EPdfInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "AddObject --wrong object type.");
    }
    EXPECT_THROW(xref.AddObject(nullptr), EPdfInvalidOperation);
    EXPECT_EQ(xref.EntryCount(), 1);
}

TEST(PdfXref, WritesTwentyByteLines) {
    TPdfXref xref;
    xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
    xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
    xref.Entry(1).SetByteOffset(11);
    xref.Entry(2).SetByteOffset(1234567890);
    TMemoryStream stream;
    xref.WriteTo(stream);
    EXPECT_EQ(stream.View(),
              "xref\r\n0 3\r\n"
              "0000000000 65535 f\r\n"
              "0000000011 00000 n\r\n"
              "1234567890 00000 n\r\n");
    for (int i = 0; i < xref.EntryCount(); ++i) EXPECT_EQ(xref.Entry(i).Line().size(), 20u);
}
