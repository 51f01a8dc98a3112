#pragma once

#include <string>

#include "platform/graphics/Picture.h"
#include "report/TPRItem.h"

class TPdfDoc;

// A picture item: prints its bitmap as an image object of the document, stretched to the item
// or at one point per pixel clipped to it. Owns its picture.
class TPRImage : public TPRItem {
  public:
    TPRImage();

    std::string ClassName() const override { return "TPRImage"; }

    const brevanto::graphics::Picture& Picture() const { return picture_; }
    // The picture as the item holds it; loading a file into it goes past SetPicture's check.
    brevanto::graphics::Picture& Picture() { return picture_; }
    // Takes a copy; a graphic of the wrong kind is refused (std::runtime_error with
    // RefusalMessage()) and the picture stays.
    void SetPicture(const brevanto::graphics::Picture* picture);

    // True: one image object per document under the item's Name. False: a new object, with
    // a new name, at every print.
    bool SharedImage() const { return sharedImage_; }
    void SetSharedImage(bool shared) { sharedImage_ = shared; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch) { stretch_ = stretch; }

    void Print(TPRCanvas& canvas, const TRect& rect) override;

  protected:
    // Whether the picture's graphic is what this item prints.
    virtual bool Accepts(const brevanto::graphics::Graphic& graphic) const;
    virtual const char* RefusalMessage() const { return "only bitmap image is allowed."; }
    // The image creator's registry name.
    virtual const char* CreatorName() const { return "Pdf-Bitmap"; }
    // A name for a new image that the document does not have yet.
    virtual std::string FreshImageName(const TPdfDoc& doc) const;

  private:
    // Registers (or, shared, finds) the image and draws it; the picture is known to be good.
    void PrintPicture(TPRCanvas& canvas, const TRect& rect);

    brevanto::graphics::Picture picture_;
    bool sharedImage_ = true;
    bool stretch_ = true;
};
