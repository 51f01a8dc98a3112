#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// The pages scanned since the last save, as the clerk arranges them in the page list: the
// document is built from them in this order. Each page keeps the entry number it was listed
// with ("Página N"), however it moves. Pages the clerk deletes from the list are left out of
// the document, but their JPEG files are still the program's to remove after the next save.
class TCaptureLog {
  public:
    struct Entry {
        int Number = 0;
        std::string BmpPath;
    };

    // "Página " + number + " |" + path.
    static std::string EntryText(int number, const std::string& bmpPath);

    // Lists a new page; its number is the number of entries plus one.
    void Add(std::string bmpPath);
    // Leaves the entry out of the document; an index outside the list does nothing.
    void Delete(int index);
    // Swap the entry with its neighbour above / below. Outside the list, or without a
    // neighbour, EListError and nothing changes.
    void MoveUp(int index);
    void MoveDown(int index);
    // Forgets every page, listed or deleted (after a save).
    void Clear();
    // A page listed again as it was (from a journal), its number kept; a deleted one likewise.
    void Restore(int number, std::string bmpPath);
    void RestoreDeleted(std::string bmpPath);

    int Count() const { return static_cast<int>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    const std::vector<Entry>& Entries() const { return entries_; }
    std::string EntryTextAt(int index) const;
    // The BMP paths of the listed pages, in list order: what the document is built from.
    std::vector<std::string> BmpPaths() const;
    // The BMP paths of the pages deleted from the list since the last save.
    const std::vector<std::string>& Deleted() const { return deleted_; }

  private:
    void swap(int index, int other);

    std::vector<Entry> entries_;
    std::vector<std::string> deleted_;
};

// The list's index-out-of-range error.
class EListError : public std::out_of_range {
  public:
    explicit EListError(int index);
};
