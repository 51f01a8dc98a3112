#include "pdf/PdfBinary.h"

TPdfBinary::TPdfBinary() : data_(std::make_unique<TMemoryStream>()) {}

TPdfBinary::~TPdfBinary() = default;

void TPdfBinary::WriteValue(TStream& stream) { stream.Write(data_->Bytes().data(), data_->Size()); }
