#include "pdf/PdfVirtualObject.h"

#include "pdf/PdfErrors.h"

TPdfVirtualObject::TPdfVirtualObject() {
    throw EPdfError("virtualObject must be create by CreateVirtual method.");
}

TPdfVirtualObject::TPdfVirtualObject(NumberTag, std::int32_t number) {
    AssignObjectNumber(number);
    SetKind(okVirtual);
}

std::unique_ptr<TPdfVirtualObject> TPdfVirtualObject::CreateVirtual(std::int32_t number) {
    return std::unique_ptr<TPdfVirtualObject>(new TPdfVirtualObject(NumberTag{}, number));
}
