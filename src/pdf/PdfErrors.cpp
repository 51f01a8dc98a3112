#include "pdf/PdfErrors.h"

EPdfError::EPdfError(const std::string& message) : std::runtime_error(message) {}

EListError::EListError(long long index)
    : EPdfError("List index out of bounds (" + std::to_string(index) + ")") {}
