#pragma once

// The manager's ordered list of sources. It owns them (the manager frees them through it). Its
// room starts at 10 places and grows by 10 whenever an addition finds it full; emptying it
// shrinks the room back to 10. Positions outside 0 .. Count - 1 read as null.

#include <cstddef>
#include <memory>
#include <vector>

namespace twain {

class TTwainSource;

class TTwainSourceList {
  public:
    static constexpr int kRoomStep = 10;

    TTwainSourceList();
    ~TTwainSourceList();
    TTwainSourceList(const TTwainSourceList&) = delete;
    TTwainSourceList& operator=(const TTwainSourceList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    int Capacity() const { return capacity_; }
    TTwainSource* Item(int index) const;
    void Add(std::unique_ptr<TTwainSource> source);
    // Frees every source in list order (a source being freed reads as null meanwhile), then
    // empties the list.
    void Clear();

  private:
    std::vector<std::unique_ptr<TTwainSource>> items_;
    int capacity_ = kRoomStep;
};

}  // namespace twain
