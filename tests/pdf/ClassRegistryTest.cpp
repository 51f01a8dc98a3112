#include <gtest/gtest.h>

#include "pdf/ClassRegistry.h"
#include "pdf/PdfFonts.h"

namespace {

// A kind of registered class of its own, as other modules (the image creators) add them.
struct TTestCreator {
    virtual ~TTestCreator() = default;
    virtual int Answer() const { return 42; }
};
using TTestCreatorClass = TNamedClassOf<TTestCreator>;

}  // namespace

TEST(ClassRegistry, FindsNamesWithoutRegardToCase) {
    RegisterStandardFonts();
    const TNamedClass& arial = FindNamedClass("Arial");
    EXPECT_EQ(&FindNamedClass("ARIAL"), &arial);
    EXPECT_EQ(&FindNamedClass("arial"), &arial);
    EXPECT_NE(&FindNamedClass("Arial-Bold"), &arial);
    EXPECT_NE(dynamic_cast<const TPdfFontClass*>(&arial), nullptr);
}

TEST(ClassRegistry, UnknownNamesAreNotFound) {
    try {
        FindNamedClass("Comic-Sans");
        FAIL() << "an unregistered name was found";
    } catch (const EClassNotFound& e) {
        EXPECT_STREQ(e.what(), "Class Comic-Sans not found");
    }
}

TEST(ClassRegistry, OtherModulesRegisterTheirOwnKinds) {
    RegisterNamedClass(TTestCreatorClass::Of<TTestCreator>(), "Test-Creator");
    const auto& cls = FindNamedClassOf<TTestCreatorClass>("test-creator");
    EXPECT_EQ(cls.Create()->Answer(), 42);
    // A class of another kind is not what a font lookup wants.
    EXPECT_THROW(FindNamedClassOf<TPdfFontClass>("Test-Creator"), EClassNotFound);
}
