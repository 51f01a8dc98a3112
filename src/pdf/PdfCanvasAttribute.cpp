#include "pdf/PdfCanvasAttribute.h"

#include "pdf/PdfErrors.h"

namespace {

// NaN fails every comparison, so it is refused as well.
bool Within(float value, float low, float high) { return value >= low && value <= high; }

}  // namespace

void TPdfCanvasAttribute::SetWordSpace(float value) {
    if (!(value >= 0)) throw EPdfInvalidValue("SetWordSpace --invalid word space");
    wordSpace_ = value;
}

void TPdfCanvasAttribute::SetCharSpace(float value) {
    if (!Within(value, -30, 300)) throw EPdfInvalidValue("SetCharSpace --invalid char space");
    charSpace_ = value;
}

void TPdfCanvasAttribute::SetFontSize(float value) {
    if (!Within(value, 0, 300)) throw EPdfInvalidValue("SetFontSize --invalid font size");
    fontSize_ = value;
}

void TPdfCanvasAttribute::SetLeading(float value) {
    if (!Within(value, 0, 300)) throw EPdfInvalidValue("SetLeading --invalid font size");
    leading_ = value;
}

void TPdfCanvasAttribute::SetHorizontalScaling(std::uint16_t value) {
    if (value < 10 || value > 300)
        throw EPdfInvalidValue("SetHorizontalScaling --invalid font size");
    horizontalScaling_ = value;
}
