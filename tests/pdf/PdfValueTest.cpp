#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pdf/PdfTypes.h"
#include "pdf/PdfXref.h"
#include "platform/locale/AnsiCodePage.h"
#include "support/PdfTestDoc.h"

namespace {

struct TextCase {
    std::string value;
    std::string written;
};

}  // namespace

TEST(PdfValue, ScalarsWriteTheirSyntax) {
    TPdfNull null;
    TPdfBoolean yes(true), no(false);
    TPdfNumber zero, negative(-5), largest(2147483647);
    TPdfReal half(1.5), whole(2.0);
    EXPECT_EQ(Written(null), "null");
    EXPECT_EQ(Written(yes), "true");
    EXPECT_EQ(Written(no), "false");
    EXPECT_EQ(Written(zero), "0");
    EXPECT_EQ(Written(negative), "-5");
    EXPECT_EQ(Written(largest), "2147483647");
    EXPECT_EQ(Written(half), "1.5");
    EXPECT_EQ(Written(whole), "2");
}

TEST(PdfValue, NamesEscapeDelimitersAndOddBytes) {
    const TextCase cases[] = {
        {"Type", "/Type"},
        {"A B", "/A#20B"},
        {"#1", "/#231"},
        {"\xC8", "/#C8"},
        {"", "/"},
        {"a\tb\x7F", "/a#09b#7F"},
        {"%()/<>[]{}", "/#25#28#29#2F#3C#3E#5B#5D#7B#7D"},
        {"F0_x-1.5!", "/F0_x-1.5!"},
    };
    for (const TextCase& c : cases) {
        TPdfName name(c.value);
        EXPECT_EQ(Written(name), c.written) << c.value;
        EXPECT_EQ(name.Value(), c.value);
    }
}

TEST(PdfValue, TextsEscapeEightBytesAndKeepTheRest) {
    const TextCase cases[] = {
        {"a(b)", "(a\\(b\\))"},
        {"C:\\x", "(C:\\\\x)"},
        {"", "()"},
        {"\r\n\t\b\f", "(\\r\\n\\t\\b\\f)"},
        {"Jo\xE3o \x80 \x82\xA0", "(Jo\xE3o \x80 \x82\xA0)"},
        {std::string("a\0b", 3), std::string("(a\0b)", 5)},
    };
    for (const TextCase& c : cases) {
        TPdfText text(c.value);
        EXPECT_EQ(Written(text), c.written) << c.value;
    }
}

TEST(PdfValue, TextsWithDoubleByteCharactersUseTheUnicodeForm) {
    ScopedAnsiCodePage page(932);
    const TextCase cases[] = {
        // Hiragana A and the kanji for "day" after a Latin A.
        {"A\x82\xA0\x93\xFA", "<FEFF001B656E001B0041304265E5>"},
        // No double-byte character: still the literal form, escapes included.
        {"plain (text)", "(plain \\(text\\))"},
        // Half-width katakana are single bytes in 932.
        {"\xB1", "(\xB1)"},
    };
    for (const TextCase& c : cases) {
        TPdfText text(c.value);
        EXPECT_EQ(Written(text), c.written) << c.value;
    }
}

TEST(PdfValue, SingleByteCodePagesAlwaysWriteLiterals) {
    ScopedAnsiCodePage page(1252);
    TPdfText text("A\x82\xA0\x93\xFA");
    EXPECT_EQ(Written(text), "(A\x82\xA0\x93\xFA)");
}

TEST(PdfValue, ArraysWriteItemsEachFollowedByASpace) {
    TPdfArray empty(nullptr);
    EXPECT_EQ(Written(empty), "[]");
    auto box = TPdfArray::CreateFromNumbers(nullptr, {0, 0, 596, 842});
    EXPECT_EQ(Written(*box), "[0 0 596 842 ]");
    TPdfArray mixed(nullptr);
    mixed.Add(std::make_unique<TPdfName>("PDF"));
    mixed.Add(std::make_unique<TPdfText>("x"));
    mixed.Add(TPdfArray::CreateFromNumbers(nullptr, {1}));
    EXPECT_EQ(Written(mixed), "[/PDF (x) [1 ] ]");
}

TEST(PdfValue, ArrayKeepsADirectItemOnceButReferencesEachTime) {
    TPdfXref xref;
    auto& registered = xref.Register(std::make_unique<TPdfDictionary>(&xref));
    TPdfArray array(&xref);
    TPdfName* name = array.Add(std::make_unique<TPdfName>("A"));
    array.Add(*name);
    EXPECT_EQ(array.Count(), 1);
    array.Add(registered);
    array.Add(registered);
    EXPECT_EQ(Written(array), "[/A 1 0 R 1 0 R ]");
    EXPECT_EQ(array.Items(1), &registered);
    EXPECT_EQ(array.Items(2), &registered);
    EXPECT_THROW(array.Items(3), EListError);
    EXPECT_THROW(array.Items(-1), EListError);
}

TEST(PdfValue, ArrayWithoutManagerResolvesReferencesToNothing) {
    TPdfXref xref;
    auto& registered = xref.Register(std::make_unique<TPdfDictionary>(&xref));
    TPdfArray array(nullptr);
    array.Add(registered);
    EXPECT_EQ(array.Items(0), nullptr);
    EXPECT_EQ(Written(array), "[1 0 R ]");
}

TEST(PdfValue, ArrayRefusesWhatItCannotOwn) {
    TPdfArray array(nullptr);
    TPdfName stranger("X");
    EXPECT_THROW(array.Add(stranger), EPdfInvalidValue);
    EXPECT_THROW(array.Add(std::unique_ptr<TPdfObject>()), EPdfInvalidValue);
    EXPECT_EQ(array.Count(), 0);
}

TEST(PdfValue, ArrayNameItemsAreFoundAndRemovedExactly) {
    TPdfArray array(nullptr);
    array.Add(std::make_unique<TPdfNumber>(7));
    array.Add(std::make_unique<TPdfName>("DCTDecode"));
    array.Add(std::make_unique<TPdfName>("FlateDecode"));
    array.Add(std::make_unique<TPdfName>("FlateDecode"));
    EXPECT_EQ(array.FindNameItem("flatedecode"), nullptr);
    EXPECT_EQ(array.FindNameItem("FlateDecode"), array.Items(2));
    EXPECT_TRUE(array.RemoveNameItem("FlateDecode"));
    EXPECT_EQ(Written(array), "[7 /DCTDecode /FlateDecode ]");
    EXPECT_FALSE(array.RemoveNameItem("LZWDecode"));
    EXPECT_EQ(array.Count(), 3);
}

TEST(PdfValue, DictionariesWriteElementsInOrder) {
    TPdfDictionary empty(nullptr);
    EXPECT_EQ(Written(empty), "<<\r\n>>");

    TPdfDictionary onlyInternal(nullptr);
    onlyInternal.PutInternal("Widths", TPdfArray::CreateFromNumbers(nullptr, {1, 2}));
    EXPECT_EQ(Written(onlyInternal), "<<\r\n>>");
    ASSERT_NE(onlyInternal.ArrayOf("Widths"), nullptr);
    EXPECT_EQ(onlyInternal.ArrayOf("Widths")->Count(), 2);

    TPdfDictionary outer(nullptr);
    outer.Put("Type", std::make_unique<TPdfName>("Page"));
    auto* inner = outer.Put("Resources", std::make_unique<TPdfDictionary>(nullptr));
    inner->Put("Font", std::make_unique<TPdfDictionary>(nullptr));
    outer.Put("Count", std::make_unique<TPdfNumber>(1));
    EXPECT_EQ(Written(outer),
              "<<\r\n/Type /Page\r\n/Resources <<\r\n/Font <<\r\n>>\r\n>>\r\n/Count 1\r\n>>");
}

TEST(PdfValue, PutReplacesAndMovesTheKeyToTheEnd) {
    TPdfDictionary d(nullptr);
    d.Put("A", std::make_unique<TPdfNumber>(1));
    d.Put("B", std::make_unique<TPdfNumber>(2));
    d.Put("A", std::make_unique<TPdfNumber>(3));
    EXPECT_EQ(Written(d), "<<\r\n/B 2\r\n/A 3\r\n>>");
    EXPECT_EQ(d.ElementCount(), 2);
    EXPECT_EQ(d.Element(1).KeyText(), "A");
    d.Remove("B");
    d.Remove("Missing");
    EXPECT_EQ(Written(d), "<<\r\n/A 3\r\n>>");
}

TEST(PdfValue, RefusedPutKeepsTheOldElement) {
    TPdfDictionary d(nullptr);
    d.Put("A", std::make_unique<TPdfNumber>(1));
    try {
        d.Put("A", std::unique_ptr<TPdfObject>());
        FAIL() << "a Put without value was accepted";
    } catch (const EPdfInvalidValue& e) {
        EXPECT_STREQ(e.what(), "internal error. wrong object.");
    }
    TPdfName stranger("X");
    EXPECT_THROW(d.Put("A", stranger), EPdfInvalidValue);
    ASSERT_NE(d.NumberOf("A"), nullptr);
    EXPECT_EQ(d.NumberOf("A")->Value(), 1);
}

TEST(PdfValue, LookupsAreExactAndTyped) {
    TPdfXref xref;
    auto& page = xref.Register(std::make_unique<TPdfDictionary>(&xref));
    TPdfDictionary d(&xref);
    d.Put("Count", std::make_unique<TPdfNumber>(4));
    d.Put("Scale", std::make_unique<TPdfReal>(0.5));
    d.Put("Type", std::make_unique<TPdfName>("Pages"));
    d.Put("Kids", std::make_unique<TPdfArray>(&xref));
    d.Put("Parent", page);
    EXPECT_EQ(d.ValueOf("count"), nullptr);
    EXPECT_EQ(d.ValueOf("Missing"), nullptr);
    EXPECT_EQ(d.NumberOf("Count")->Value(), 4);
    EXPECT_EQ(d.NumberOf("Type"), nullptr);
    EXPECT_EQ(d.RealOf("Scale")->Value(), 0.5);
    EXPECT_EQ(d.NameOf("Type")->Value(), "Pages");
    EXPECT_NE(d.ArrayOf("Kids"), nullptr);
    EXPECT_EQ(d.DictionaryOf("Parent"), &page);
    EXPECT_EQ(d.ValueOf("Parent"), &page);
    EXPECT_EQ(TypeNameOf(&d), "Pages");
    EXPECT_EQ(TypeNameOf(&page), "");
    EXPECT_EQ(TypeNameOf(nullptr), "");

    TPdfDictionary unmanaged(nullptr);
    unmanaged.Put("Parent", page);
    EXPECT_EQ(unmanaged.ValueOf("Parent"), nullptr);
}

TEST(PdfValue, RegisteredObjectsAreReferencedAndWrittenOnceInFull) {
    TPdfXref xref;
    TPdfDictionary* pages = nullptr;
    for (int i = 0; i < 3; ++i) {
        pages = &xref.Register(std::make_unique<TPdfDictionary>(&xref));
    }
    pages->Put("Type", std::make_unique<TPdfName>("Pages"));
    TPdfDictionary catalog(&xref);
    catalog.Put("Pages", *pages);
    EXPECT_EQ(Written(catalog), "<<\r\n/Pages 3 0 R\r\n>>");
    EXPECT_EQ(Written(*pages), "3 0 R");
    TMemoryStream stream;
    pages->WriteIndirect(stream);
    EXPECT_EQ(stream.View(), "3 0 obj\r\n<<\r\n/Type /Pages\r\n>>\r\nendobj\r\n");
}

TEST(PdfValue, OnlyRegisteredObjectsWriteIndirectly) {
    TPdfDictionary direct(nullptr);
    TMemoryStream stream;
    try {
        direct.WriteIndirect(stream);
        FAIL() << "a direct object was written as indirect";
    } catch (const EPdfInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "internal error wrong object type");
    }
    auto proxy = TPdfVirtualObject::CreateVirtual(7);
    EXPECT_THROW(proxy->WriteIndirect(stream), EPdfInvalidOperation);
    EXPECT_EQ(stream.Size(), 0u);
}

TEST(PdfValue, ProxiesAreMadeOnlyFromNumbers) {
    auto proxy = TPdfVirtualObject::CreateVirtual(7);
    EXPECT_EQ(proxy->Kind(), okVirtual);
    EXPECT_EQ(proxy->ObjectNumber(), 7);
    EXPECT_EQ(Written(*proxy), "7 0 R");
    try {
        TPdfVirtualObject unnumbered;
        FAIL() << "a proxy without number was made";
    } catch (const EPdfError& e) {
        EXPECT_STREQ(e.what(), "virtualObject must be create by CreateVirtual method.");
    }
}

TEST(PdfValue, AssignObjectNumberSetsTheKind) {
    TPdfNumber n;
    EXPECT_EQ(n.Kind(), okDirect);
    EXPECT_EQ(n.ObjectNumber(), -1);
    EXPECT_EQ(n.GenerationNumber(), 0);
    n.AssignObjectNumber(4);
    EXPECT_EQ(n.Kind(), okIndirect);
    n.AssignObjectNumber(0);
    EXPECT_EQ(n.Kind(), okDirect);
}

TEST(PdfValue, StreamsWriteLengthAndRawData) {
    struct Case {
        std::string data;
        bool addFlate;
        bool addDct;
        std::string written;
    };
    const Case cases[] = {
        {"q\nQ\n", false, false,
         "<<\r\n/Length 4\r\n/Filter []\r\n>>\r\nstream\r\nq\nQ\n\nendstream"},
        {"", false, false, "<<\r\n/Length 0\r\n/Filter []\r\n>>\r\nstream\r\n\nendstream"},
        {"xyz", true, false, "<<\r\n/Length 3\r\n/Filter []\r\n>>\r\nstream\r\nxyz\nendstream"},
        {std::string("\xFF\xD8\0\xFF\xD9", 5), false, true,
         "<<\r\n/Length 5\r\n/Filter [/DCTDecode ]\r\n>>\r\nstream\r\n" +
             std::string("\xFF\xD8\0\xFF\xD9", 5) + "\nendstream"},
    };
    for (const Case& c : cases) {
        TPdfStream stream;
        stream.Data().WriteText(c.data);
        TPdfArray* filter = stream.Dictionary().ArrayOf("Filter");
        ASSERT_NE(filter, nullptr);
        if (c.addFlate) filter->Add(std::make_unique<TPdfName>("FlateDecode"));
        if (c.addDct) filter->Add(std::make_unique<TPdfName>("DCTDecode"));
        EXPECT_EQ(Written(stream), c.written);
    }
}

TEST(PdfValue, StreamDataIsWrittenFromItsStartWhateverThePosition) {
    TPdfStream stream;
    stream.Data().WriteText("abcd");
    stream.Data().SetPosition(1);
    EXPECT_EQ(Written(stream), "<<\r\n/Length 4\r\n/Filter []\r\n>>\r\nstream\r\nabcd\nendstream");
}

TEST(PdfValue, StreamKindsShareTheStreamDictionary) {
    TPdfImage image;
    EXPECT_EQ(image.Dictionary().ElementCount(), 2);
    EXPECT_EQ(image.Dictionary().Element(0).KeyText(), "Length");
    EXPECT_EQ(image.Dictionary().Element(1).KeyText(), "Filter");
    EXPECT_NE(dynamic_cast<TPdfXObject*>(&image), nullptr);
}

TEST(PdfValue, BinaryObjectsWriteTheirBytesVerbatim) {
    TPdfBinary binary;
    binary.Data().WriteText("<00FF7F >");
    EXPECT_EQ(Written(binary), "<00FF7F >");
}

TEST(MemoryStream, WritesAtThePositionAndGrows) {
    TMemoryStream stream;
    stream.WriteText("hello");
    stream.SetPosition(1);
    stream.WriteText("EL");
    EXPECT_EQ(stream.View(), "hELlo");
    EXPECT_EQ(stream.Position(), 3);
    stream.SetPosition(7);
    stream.WriteText("!");
    EXPECT_EQ(stream.View(), std::string("hELlo\0\0!", 8));
    EXPECT_THROW(stream.SetPosition(-1), EPdfInvalidValue);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0u);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(MemoryStream, SharedBytesStayUnchangedForTheirOtherOwners) {
    const auto picture = std::make_shared<const std::vector<std::uint8_t>>(
        std::vector<std::uint8_t>{'a', 'b', 'c', 'd'});
    struct Case {
        const char* name;
        void (*change)(TMemoryStream&);
        std::string expected;
    };
    const Case cases[] = {
        {"nothing", [](TMemoryStream&) {}, "abcd"},
        {"appended", [](TMemoryStream& s) { s.WriteText("e"); }, "abcde"},
        {"overwritten and extended",
         [](TMemoryStream& s) {
             s.SetPosition(2);
             s.WriteText("XYZ");
         },
         "abXYZ"},
        {"written past the end",
         [](TMemoryStream& s) {
             s.SetPosition(6);
             s.WriteText("!");
         },
         std::string("abcd\0\0!", 7)},
        {"cleared", [](TMemoryStream& s) { s.Clear(); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream stream;
        stream.WriteText("old");
        stream.Share(picture);
        EXPECT_EQ(stream.Position(), 4);
        c.change(stream);
        EXPECT_EQ(stream.View(), c.expected);
        EXPECT_EQ(stream.Size(), c.expected.size());
        EXPECT_EQ(*picture, (std::vector<std::uint8_t>{'a', 'b', 'c', 'd'}));
    }
    // Held, not copied.
    TMemoryStream stream;
    stream.Share(picture);
    EXPECT_EQ(&stream.Bytes(), picture.get());
}
