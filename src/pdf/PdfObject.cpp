#include "pdf/PdfObject.h"

#include <string>

#include "pdf/PdfErrors.h"
#include "pdf/Stream.h"

TPdfObject::~TPdfObject() = default;

void TPdfObject::WriteValue(TStream&) {}

void TPdfObject::WriteTo(TStream& stream) {
    if (kind_ == okDirect) {
        WriteValue(stream);
        return;
    }
    stream.WriteText(std::to_string(objectNumber_) + " " + std::to_string(generationNumber_) +
                     " R");
}

void TPdfObject::WriteIndirect(TStream& stream) {
    if (kind_ != okIndirect) throw EPdfInvalidOperation("internal error wrong object type");
    stream.WriteText(std::to_string(objectNumber_) + " " + std::to_string(generationNumber_) +
                     " obj\r\n");
    WriteValue(stream);
    stream.WriteText("\r\nendobj\r\n");
}

void TPdfObject::AssignObjectNumber(std::int32_t n) {
    objectNumber_ = n;
    kind_ = n > 0 ? okIndirect : okDirect;
}
