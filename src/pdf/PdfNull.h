#pragma once

#include "pdf/PdfObject.h"

// The PDF null object: "null".
class TPdfNull : public TPdfObject {
  public:
    void WriteValue(TStream& stream) override;
};
