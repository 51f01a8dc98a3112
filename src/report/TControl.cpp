#include "report/TControl.h"

#include <algorithm>

TControl::TControl(int width, int height) : width_(width), height_(height) {}

TControl::~TControl() {
    if (parent_ != nullptr) parent_->removeChild(this);
    for (TControl* child : controls_) child->parent_ = nullptr;
    for (TControl* child : winControls_) child->parent_ = nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (resized) Realign();
    if (parent_ != nullptr && align_ != alNone) parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    if (parent_ != nullptr) parent_->Realign();
}

void TControl::SetParent(TControl* parent) {
    PlaceOn(parent != nullptr ? parent->ContainerForChildren() : nullptr);
}

void TControl::PlaceOn(TControl* parent) {
    if (parent == parent_) return;
    if (parent_ != nullptr) {
        TControl* old = parent_;
        old->removeChild(this);
        old->Realign();
    }
    parent_ = parent;
    if (parent_ != nullptr) {
        (Windowed() ? parent_->winControls_ : parent_->controls_).push_back(this);
        parent_->Realign();
    }
}

void TControl::removeChild(TControl* child) {
    // Not by Windowed(): a child being destroyed can no longer answer it.
    std::erase(controls_, child);
    std::erase(winControls_, child);
    child->parent_ = nullptr;
}

TRect TControl::AlignArea() const { return {0, 0, width_, height_}; }

void TControl::Realign() {
    // Children placed by this pass must not start another one.
    if (aligning_) return;
    aligning_ = true;
    TRect area = AlignArea();
    // The toolkit's docking order: top, bottom, left, right, then client, each group in
    // placing order (panels before items is immaterial: only client alignment is used here).
    std::vector<TControl*> children = winControls_;
    children.insert(children.end(), controls_.begin(), controls_.end());
    for (const TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : children) {
            if (c->align_ != pass) continue;
            switch (pass) {
                case alTop:
                    c->SetBounds(area.Left, area.Top, area.Width(), c->height_);
                    area.Top += c->height_;
                    break;
                case alBottom:
                    c->SetBounds(area.Left, area.Bottom - c->height_, area.Width(), c->height_);
                    area.Bottom -= c->height_;
                    break;
                case alLeft:
                    c->SetBounds(area.Left, area.Top, c->width_, area.Height());
                    area.Left += c->width_;
                    break;
                case alRight:
                    c->SetBounds(area.Right - c->width_, area.Top, c->width_, area.Height());
                    area.Right -= c->width_;
                    break;
                default:
                    c->SetBounds(area.Left, area.Top, std::max(0, area.Width()),
                                 std::max(0, area.Height()));
                    break;
            }
        }
    }
    aligning_ = false;
}
