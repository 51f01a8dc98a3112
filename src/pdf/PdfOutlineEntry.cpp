#include "pdf/PdfOutlineEntry.h"

TPdfOutlineEntry::TPdfOutlineEntry(TPdfDoc& doc) : doc_(doc) {}

TPdfOutlineEntry::~TPdfOutlineEntry() = default;

void TPdfOutlineEntry::SetCompanion(std::unique_ptr<TPdfOutlineCompanion> companion) {
    companion_ = std::move(companion);
}

void TPdfOutlineEntry::Save() {}
