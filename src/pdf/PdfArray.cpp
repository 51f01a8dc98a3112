#include "pdf/PdfArray.h"

#include <algorithm>

#include "pdf/PdfErrors.h"
#include "pdf/PdfName.h"
#include "pdf/PdfNumber.h"
#include "pdf/PdfVirtualObject.h"
#include "pdf/Stream.h"

TPdfArray::TPdfArray(TPdfObjectMgr* objectMgr) : objectMgr_(objectMgr) {}

TPdfArray::~TPdfArray() = default;

std::unique_ptr<TPdfArray> TPdfArray::CreateFromNumbers(
    TPdfObjectMgr* objectMgr, std::initializer_list<std::int32_t> numbers) {
    return CreateFromNumbers(objectMgr, numbers.begin(), numbers.size());
}

std::unique_ptr<TPdfArray> TPdfArray::CreateFromNumbers(TPdfObjectMgr* objectMgr,
                                                        const std::int32_t* numbers,
                                                        std::size_t count) {
    auto array = std::make_unique<TPdfArray>(objectMgr);
    for (std::size_t i = 0; i < count; ++i) array->Add(std::make_unique<TPdfNumber>(numbers[i]));
    return array;
}

void TPdfArray::AddOwned(std::unique_ptr<TPdfObject> item) {
    // An indirect object belongs to the cross-reference table and can never arrive here owned.
    if (!item || item->Kind() == okIndirect)
        throw EPdfInvalidValue("internal error. wrong object.");
    items_.push_back(std::move(item));
}

void TPdfArray::Add(TPdfObject& object) {
    const bool own = std::any_of(items_.begin(), items_.end(),
                                 [&](const auto& item) { return item.get() == &object; });
    if (own) return;
    if (object.Kind() == okDirect) throw EPdfInvalidValue("internal error. wrong object.");
    items_.push_back(TPdfVirtualObject::CreateVirtual(object.ObjectNumber()));
}

TPdfObject* TPdfArray::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    TPdfObject* item = items_[static_cast<std::size_t>(index)].get();
    if (item->Kind() != okVirtual) return item;
    return objectMgr_ ? objectMgr_->ObjectAt(item->ObjectNumber()) : nullptr;
}

TPdfName* TPdfArray::FindNameItem(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        auto* item = dynamic_cast<TPdfName*>(Items(i));
        if (item && item->Value() == name) return item;
    }
    return nullptr;
}

bool TPdfArray::RemoveNameItem(std::string_view name) {
    TPdfName* found = FindNameItem(name);
    if (!found) return false;
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const auto& item) { return item.get() == found; });
    // A name reached through a proxy belongs to the table, never to this array.
    if (it == items_.end()) return false;
    items_.erase(it);
    return true;
}

void TPdfArray::WriteValue(TStream& stream) {
    stream.WriteText("[");
    for (const auto& item : items_) {
        item->WriteTo(stream);
        stream.WriteText(" ");
    }
    stream.WriteText("]");
}
