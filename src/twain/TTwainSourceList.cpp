#include "twain/TTwainSourceList.h"

#include "twain/TTwainSource.h"

namespace twain {

TTwainSourceList::TTwainSourceList() { items_.reserve(kRoomStep); }

TTwainSourceList::~TTwainSourceList() { Clear(); }

TTwainSource* TTwainSourceList::Item(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
}

void TTwainSourceList::Add(std::unique_ptr<TTwainSource> source) {
    if (Count() == capacity_) {
        capacity_ += kRoomStep;
        items_.reserve(static_cast<std::size_t>(capacity_));
    }
    items_.push_back(std::move(source));
}

void TTwainSourceList::Clear() {
    // reset() clears the slot before the source's destructor runs, so code reached from that
    // destructor (events) finds no half-destroyed source in the list.
    for (auto& item : items_) item.reset();
    items_.clear();
    items_.shrink_to_fit();
    capacity_ = kRoomStep;
    items_.reserve(kRoomStep);
}

}  // namespace twain
