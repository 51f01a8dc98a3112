#include "pdf/PdfXref.h"

#include <cstdio>

#include "pdf/PdfErrors.h"
#include "pdf/Stream.h"

TPdfXrefEntry::TPdfXrefEntry(std::unique_ptr<TPdfObject> value)
    : entryType_("n"), generationNumber_(value->GenerationNumber()), value_(std::move(value)) {}

TPdfXrefEntry::TPdfXrefEntry() : entryType_("f"), generationNumber_(65535) {}

TPdfXrefEntry::~TPdfXrefEntry() = default;

std::string TPdfXrefEntry::Line() const {
    char line[40];
    const long long offset = byteOffset_ < 0 ? 0 : byteOffset_;
    std::snprintf(line, sizeof line, "%010lld %05d %s\r\n", offset, generationNumber_,
                  entryType_.c_str());
    return line;
}

TPdfXref::TPdfXref() { entries_.push_back(std::make_unique<TPdfXrefEntry>()); }

TPdfXref::~TPdfXref() = default;

TPdfObject& TPdfXref::AddObject(std::unique_ptr<TPdfObject> object) {
    if (!object || object->Kind() != okDirect)
        throw EPdfInvalidOperation("AddObject --wrong object type.");
    TPdfObject& registered = *object;
    entries_.push_back(std::make_unique<TPdfXrefEntry>(std::move(object)));
    registered.AssignObjectNumber(EntryCount() - 1);
    return registered;
}

TPdfObject* TPdfXref::ObjectAt(std::int32_t number) const { return Entry(number).Value(); }

TPdfXrefEntry& TPdfXref::Entry(int index) const {
    if (index < 0 || index >= EntryCount()) throw EListError(index);
    return *entries_[static_cast<std::size_t>(index)];
}

void TPdfXref::WriteTo(TStream& stream) const {
    std::string table = "xref\r\n0 " + std::to_string(EntryCount()) + "\r\n";
    table.reserve(table.size() + entries_.size() * 20);
    for (const auto& entry : entries_) table += entry->Line();
    stream.WriteText(table);
}
