#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "pdf/PdfDictionaryWrapper.h"

class TPdfDoc;

// Something the owner of a document attaches to an outline node, to live exactly as long as
// the node (the report component's outline wrapper does this).
class TPdfOutlineCompanion {
  public:
    virtual ~TPdfOutlineCompanion() = default;
};

// A node of the outline (bookmark) tree; its dictionary is registered with the document's
// table. Owns its companion. The tree links stay empty: nothing adds nodes below the root.
class TPdfOutlineEntry : public TPdfDictionaryWrapper {
  public:
    explicit TPdfOutlineEntry(TPdfDoc& doc);
    ~TPdfOutlineEntry() override;

    TPdfDoc& Doc() const { return doc_; }
    TPdfOutlineEntry* Parent() const { return parent_; }
    TPdfOutlineEntry* Next() const { return next_; }
    TPdfOutlineEntry* Prev() const { return prev_; }
    TPdfOutlineEntry* First() const { return first_; }
    TPdfOutlineEntry* Last() const { return last_; }

    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    bool Opened() const { return opened_; }
    void SetOpened(bool opened) { opened_ = opened; }
    std::int32_t Count() const { return count_; }

    TPdfOutlineCompanion* Companion() const { return companion_.get(); }
    // Replaces (and frees) any previous companion.
    void SetCompanion(std::unique_ptr<TPdfOutlineCompanion> companion);

    // Puts the node's tree keys into its dictionary before the file is written.
    virtual void Save();

  protected:
    void SetCount(std::int32_t count) { count_ = count; }

  private:
    TPdfDoc& doc_;
    TPdfOutlineEntry* parent_ = nullptr;
    TPdfOutlineEntry* next_ = nullptr;
    TPdfOutlineEntry* prev_ = nullptr;
    TPdfOutlineEntry* first_ = nullptr;
    TPdfOutlineEntry* last_ = nullptr;
    std::string title_;
    bool opened_ = false;
    std::int32_t count_ = 0;
    std::unique_ptr<TPdfOutlineCompanion> companion_;
};
