#include "app/CaptureLog.h"

#include <utility>

EListError::EListError(int index)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}

std::string TCaptureLog::EntryText(int number, const std::string& bmpPath) {
    return "Página " + std::to_string(number) + " |" + bmpPath;
}

void TCaptureLog::Add(std::string bmpPath) {
    entries_.push_back({Count() + 1, std::move(bmpPath)});
}

void TCaptureLog::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    deleted_.push_back(std::move(entries_[static_cast<std::size_t>(index)].BmpPath));
    entries_.erase(entries_.begin() + index);
}

void TCaptureLog::swap(int index, int other) {
    if (index < 0 || index >= Count()) throw EListError(index);
    if (other < 0 || other >= Count()) throw EListError(other);
    std::swap(entries_[static_cast<std::size_t>(index)], entries_[static_cast<std::size_t>(other)]);
}

void TCaptureLog::MoveUp(int index) { swap(index, index - 1); }

void TCaptureLog::MoveDown(int index) { swap(index, index + 1); }

void TCaptureLog::Restore(int number, std::string bmpPath) {
    entries_.push_back({number, std::move(bmpPath)});
}

void TCaptureLog::RestoreDeleted(std::string bmpPath) { deleted_.push_back(std::move(bmpPath)); }

void TCaptureLog::Clear() {
    entries_.clear();
    deleted_.clear();
}

std::string TCaptureLog::EntryTextAt(int index) const {
    const Entry& entry = entries_.at(static_cast<std::size_t>(index));
    return EntryText(entry.Number, entry.BmpPath);
}

std::vector<std::string> TCaptureLog::BmpPaths() const {
    std::vector<std::string> paths;
    paths.reserve(entries_.size());
    for (const Entry& entry : entries_) paths.push_back(entry.BmpPath);
    return paths;
}
