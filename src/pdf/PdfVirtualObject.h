#pragma once

#include <cstdint>
#include <memory>

#include "pdf/PdfObject.h"

// A reference proxy: names an indirect object by number and always writes "n g R". Containers
// hold one in place of every indirect member; the proxy is owned by its container.
class TPdfVirtualObject : public TPdfObject {
  public:
    // Refused: a proxy without a number means nothing.
    TPdfVirtualObject();
    static std::unique_ptr<TPdfVirtualObject> CreateVirtual(std::int32_t number);

  private:
    struct NumberTag {};
    TPdfVirtualObject(NumberTag, std::int32_t number);
};
