#pragma once

#include <stdexcept>

namespace brevanto::graphics {

// Image data that cannot be a valid picture: a corrupt, truncated or unsupported BMP, DIB or
// JPEG. Nothing was changed when it is thrown.
class EInvalidGraphic : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A JPEG stream the codec refused; the message carries the codec's own complaint.
class EJPEG : public EInvalidGraphic {
  public:
    using EInvalidGraphic::EInvalidGraphic;
};

// A request a graphic cannot carry out (a row outside the bitmap, an impossible pixel format).
class EInvalidGraphicOperation : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A file that could not be opened for reading or created for writing.
class EFileStreamError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class EFOpenError : public EFileStreamError {
  public:
    using EFileStreamError::EFileStreamError;
};

class EFCreateError : public EFileStreamError {
  public:
    using EFileStreamError::EFileStreamError;
};

// A file that was to be created under a name another file already has.
class EFileExists : public EFCreateError {
  public:
    using EFCreateError::EFCreateError;
};

}  // namespace brevanto::graphics
