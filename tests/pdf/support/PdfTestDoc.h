#pragma once

#include <memory>
#include <string>

#include "pdf/PdfTypes.h"
#include "platform/locale/LocalClock.h"

class TPdfDoc;

// The fixed local time every document test writes with.
inline constexpr LocalDateTime kTestTime{2026, 12, 11, 9, 5, 7, 0};

// The bytes of an object written where it is used (WriteTo).
std::string Written(TPdfObject& object);
// The bytes SaveToStream writes for the document.
std::string Saved(TPdfDoc& doc);
// A registered object's "n 0 obj" block as the document writes it.
std::string IndirectBlock(const std::string& file, int number);

// A small image XObject as the image creators make them: 2 x 1 grey pixels.
std::unique_ptr<TPdfImage> MakeTestImage();
