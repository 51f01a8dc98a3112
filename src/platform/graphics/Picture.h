#pragma once

#include <filesystem>
#include <memory>

#include "platform/graphics/Graphic.h"

namespace brevanto::graphics {

// A holder of at most one graphic of any kind, which it owns. Loading a file picks the graphic
// class from the file name's extension (".bmp": Bitmap; ".jpg", ".jpeg", ".jpe", ".jfif":
// JpegImage; any letter case). A failed load keeps the graphic held before. Copies are deep.
class Picture {
  public:
    Picture();
    Picture(const Picture& other);
    Picture& operator=(const Picture& other);
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    ~Picture();

    // The graphic, or null.
    const Graphic* graphic() const { return graphic_.get(); }
    Graphic* graphic() { return graphic_.get(); }
    // The graphic as a T (Bitmap, JpegImage), or null when it is none or another kind.
    template <class T>
    const T* graphicAs() const {
        return dynamic_cast<const T*>(graphic_.get());
    }
    template <class T>
    T* graphicAs() {
        return dynamic_cast<T*>(graphic_.get());
    }

    // Takes ownership; null empties the picture.
    void setGraphic(std::unique_ptr<Graphic> graphic);
    // Holds a copy of graphic.
    void assign(const Graphic& graphic);
    void assign(const Picture& other);
    void clear();

    // Throws EInvalidGraphic "Unknown picture file extension (.xyz)" for other extensions,
    // EFOpenError for unreadable files and the graphic's error for bad contents.
    void loadFromFile(const std::filesystem::path& path);
    // Saves the graphic in its own format. Throws EInvalidGraphicOperation when empty.
    void saveToFile(const std::filesystem::path& path) const;

    int width() const;
    int height() const;
    // True without a graphic or with an empty one.
    bool empty() const;

  private:
    std::unique_ptr<Graphic> graphic_;
};

}  // namespace brevanto::graphics
