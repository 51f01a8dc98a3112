#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class TPdfDictionary;

// A (key, name) row of a constant table.
struct TPDF_STR_TBL {
    const char* Key;
    const char* Value;
};

// A (key, integer) row of a constant table.
struct TPDF_INT_TBL {
    const char* Key;
    std::int32_t Value;
};

// Wraps one dictionary, which it refers to but does not own (the cross-reference table owns
// it). Base of the document's catalog, information, outline and font objects.
class TPdfDictionaryWrapper {
  public:
    TPdfDictionaryWrapper() = default;
    virtual ~TPdfDictionaryWrapper();
    TPdfDictionaryWrapper(const TPdfDictionaryWrapper&) = delete;
    TPdfDictionaryWrapper& operator=(const TPdfDictionaryWrapper&) = delete;

    TPdfDictionary* Dictionary() const { return dictionary_; }
    // Binds the wrapper; subclasses may read the dictionary as well.
    virtual void SetDictionary(TPdfDictionary* dictionary);

  protected:
    // Put(key, name) for each row, in order.
    static void AddNameEntries(TPdfDictionary& dictionary, std::span<const TPDF_STR_TBL> table);
    // Put(key, number) for each row, in order.
    static void AddNumberEntries(TPdfDictionary& dictionary, std::span<const TPDF_INT_TBL> table);

  private:
    TPdfDictionary* dictionary_ = nullptr;
};
