#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "pdf/PdfObject.h"

class TPdfName;

// A PDF array "[a b c ]". Owns its items; an indirect member is held as a reference proxy,
// resolved through the object manager (which may be absent: then proxies resolve to nothing).
class TPdfArray : public TPdfObject {
  public:
    explicit TPdfArray(TPdfObjectMgr* objectMgr);
    ~TPdfArray() override;
    // One TPdfNumber per integer, in order.
    static std::unique_ptr<TPdfArray> CreateFromNumbers(
        TPdfObjectMgr* objectMgr, std::initializer_list<std::int32_t> numbers);
    static std::unique_ptr<TPdfArray> CreateFromNumbers(TPdfObjectMgr* objectMgr,
                                                        const std::int32_t* numbers,
                                                        std::size_t count);

    // Appends a direct object (now owned by the array) and answers it. A null item is refused
    // with EPdfInvalidValue; a proxy is kept as it is.
    template <class T>
    T* Add(std::unique_ptr<T> item) {
        T* raw = item.get();
        AddOwned(std::move(item));
        return raw;
    }
    // Appends a reference to a registered (or proxied) object, which stays where it is owned.
    // Naming one of the array's own items again changes nothing; any other direct object is
    // refused with EPdfInvalidValue, since the array cannot take it over.
    void Add(TPdfObject& object);

    // The item at a 0-based index, a proxy resolved to the object it names (nothing without a
    // manager). An index outside the array raises EListError.
    TPdfObject* Items(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }
    TPdfObjectMgr* ObjectMgr() const { return objectMgr_; }

    // The first name item with exactly that value, or nothing.
    TPdfName* FindNameItem(std::string_view name) const;
    // Removes and frees that item; answers whether there was one.
    bool RemoveNameItem(std::string_view name);

    void WriteValue(TStream& stream) override;

  private:
    void AddOwned(std::unique_ptr<TPdfObject> item);

    TPdfObjectMgr* objectMgr_;
    std::vector<std::unique_ptr<TPdfObject>> items_;
};
