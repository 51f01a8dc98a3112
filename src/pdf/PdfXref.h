#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pdf/PdfObject.h"

// One line of the cross-reference table. Owns the registered object ("n" entries); the free
// head entry ("f") holds nothing.
class TPdfXrefEntry {
  public:
    explicit TPdfXrefEntry(std::unique_ptr<TPdfObject> value);  // "n", generation of the object
    TPdfXrefEntry();                                            // "f", generation 65535
    ~TPdfXrefEntry();

    const std::string& EntryType() const { return entryType_; }
    std::int64_t ByteOffset() const { return byteOffset_; }
    void SetByteOffset(std::int64_t offset) { byteOffset_ = offset; }
    std::int32_t GenerationNumber() const { return generationNumber_; }
    TPdfObject* Value() const { return value_.get(); }

    // "oooooooooo ggggg t" CR LF: 20 bytes; a negative offset writes ten zeros.
    std::string Line() const;

  private:
    std::string entryType_;
    std::int64_t byteOffset_ = -1;
    std::int32_t generationNumber_;
    std::unique_ptr<TPdfObject> value_;
};

// The cross-reference table and the document's object manager: numbers registered objects
// 1, 2, 3, ... in registration order (the number is the entry's index) and owns them all.
class TPdfXref : public TPdfObjectMgr {
  public:
    TPdfXref();
    ~TPdfXref() override;

    // Refuses anything but a direct object: "AddObject --wrong object type.".
    TPdfObject& AddObject(std::unique_ptr<TPdfObject> object) override;
    // An index outside the table raises EListError.
    TPdfObject* ObjectAt(std::int32_t number) const override;

    int EntryCount() const { return static_cast<int>(entries_.size()); }
    TPdfXrefEntry& Entry(int index) const;

    // "xref" CR LF "0 n" CR LF and one line per entry, in one write.
    void WriteTo(TStream& stream) const;

  private:
    std::vector<std::unique_ptr<TPdfXrefEntry>> entries_;
};
