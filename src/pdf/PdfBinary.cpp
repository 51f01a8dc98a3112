#include "pdf/PdfBinary.h"

TPdfBinary::TPdfBinary() : data_(std::make_unique<TMemoryStream>()) {}

TPdfBinary::~TPdfBinary() = default;

void TPdfBinary::WriteValue(TStream& stream) { data_->WriteTo(stream); }
