#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PdfDictionaryElement.h"
#include "pdf/PdfObject.h"

class TPdfArray;
class TPdfName;
class TPdfNumber;
class TPdfReal;

// A PDF dictionary "<<" CR LF "/Key value" CR LF ... ">>", written in insertion order. Owns
// its elements; an indirect value is held as a reference proxy, resolved through the object
// manager (which may be absent: then proxies resolve to nothing).
class TPdfDictionary : public TPdfObject {
  public:
    explicit TPdfDictionary(TPdfObjectMgr* objectMgr);
    ~TPdfDictionary() override;

    // Adds or replaces the element with that key; a replaced key moves to the end. The value
    // is a direct object (now owned) or a proxy; null is refused with EPdfInvalidValue
    // "internal error. wrong object." and the old element stays. Answers the stored value.
    template <class T>
    T* Put(std::string_view key, std::unique_ptr<T> value) {
        T* raw = value.get();
        PutOwned(key, std::move(value), false);
        return raw;
    }
    // The same with a reference to a registered (or proxied) object, which stays where it is
    // owned. A direct object is refused with EPdfInvalidValue: it cannot be taken over.
    void Put(std::string_view key, TPdfObject& object);
    // As Put, but the element is internal: found by lookups, never written.
    template <class T>
    T* PutInternal(std::string_view key, std::unique_ptr<T> value) {
        T* raw = value.get();
        PutOwned(key, std::move(value), true);
        return raw;
    }
    void PutInternal(std::string_view key, TPdfObject& object);
    // Removes and frees the first element with that key, if any.
    void Remove(std::string_view key);

    // The value of the first element with exactly that key (internal ones included), a proxy
    // resolved to the object it names; nothing when absent or unresolvable.
    TPdfObject* ValueOf(std::string_view key) const;
    TPdfNumber* NumberOf(std::string_view key) const;
    TPdfReal* RealOf(std::string_view key) const;
    TPdfName* NameOf(std::string_view key) const;
    TPdfDictionary* DictionaryOf(std::string_view key) const;
    TPdfArray* ArrayOf(std::string_view key) const;

    // Elements in insertion order; an index outside raises EListError.
    int ElementCount() const { return static_cast<int>(elements_.size()); }
    TPdfDictionaryElement& Element(int index) const;
    TPdfObjectMgr* ObjectMgr() const { return objectMgr_; }

    void WriteValue(TStream& stream) override;

  private:
    void PutOwned(std::string_view key, std::unique_ptr<TPdfObject> value, bool isInternal);
    void PutReference(std::string_view key, TPdfObject& object, bool isInternal);

    TPdfObjectMgr* objectMgr_;
    std::vector<std::unique_ptr<TPdfDictionaryElement>> elements_;
};

// The value of the dictionary's "Type" name, or the empty text.
std::string TypeNameOf(const TPdfDictionary* dictionary);
