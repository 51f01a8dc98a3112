#pragma once

#include <string>
#include <string_view>

#include "pdf/ClassRegistry.h"
#include "pdf/PdfDictionaryWrapper.h"

class TPdfObjectMgr;

// Base of the font kinds: wraps the font's dictionary (registered and owned by the
// cross-reference table) and remembers the registry name it was created under. The document
// owns its font objects.
class TPdfFont : public TPdfDictionaryWrapper {
  public:
    TPdfFont(TPdfObjectMgr& objectMgr, std::string name);

    const std::string& Name() const { return name_; }
    // The width, in thousandths of the font size, of the character at a 1-based position of
    // the text; 0 in the base and for a position outside the text.
    virtual int CharWidth(std::string_view text, int position) const;

  private:
    std::string name_;
};

// How font kinds sit in the class registry: built from (object manager, registry name).
using TPdfFontClass = TNamedClassOf<TPdfFont, TPdfObjectMgr&, const std::string&>;
