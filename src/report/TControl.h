#pragma once

#include <string>
#include <vector>

// Alignment of a control inside its parent's area for aligned children.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

// A rectangle in layout units: left and top inclusive, right and bottom exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// The base of the page layout controls: bounds, alignment, a parent and two ordered child lists
// (controls without a window of their own, the items, and controls with one, the panels).
//
// A control does not own its children or its parent: whoever creates a control owns it (the
// form holding the layout, or a grid panel its child panel). Destroying a control takes it out
// of its parent's list and leaves its children without a parent.
class TControl {
  public:
    TControl(int width, int height);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    // The class name the toolkit would report; used in messages.
    virtual std::string ClassName() const = 0;
    // Panels have a window of their own, items do not.
    virtual bool Windowed() const = 0;

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    virtual void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    virtual void SetHeight(int height) { SetBounds(left_, top_, width_, height); }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }

    TControl* Parent() const { return parent_; }
    // Places the control on parent (or on nothing). Subclasses refuse parents they cannot live
    // on; a refused parent leaves the control where it was.
    virtual void SetParent(TControl* parent);

    // Children without a window (items) and with one (panels), each in placing order.
    const std::vector<TControl*>& Controls() const { return controls_; }
    const std::vector<TControl*>& WinControls() const { return winControls_; }

    // Lays the aligned children out in the area for aligned children.
    void Realign();

    // Places the control exactly on parent, past the checks and redirects of SetParent.
    void PlaceOn(TControl* parent);

  protected:
    // The area aligned children share: the whole control unless a subclass narrows it.
    virtual TRect AlignArea() const;
    // Where a child placed on this control really goes (a grid panel forwards to its cell).
    virtual TControl* ContainerForChildren() { return this; }

  private:
    void removeChild(TControl* child);

    std::string name_;
    int left_ = 0;
    int top_ = 0;
    int width_;
    int height_;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool aligning_ = false;
    TControl* parent_ = nullptr;
    std::vector<TControl*> controls_;
    std::vector<TControl*> winControls_;
};
