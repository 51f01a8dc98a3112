#pragma once

#include <stdexcept>
#include <string>

// The error family of the PDF writer. EPdfError is the general error (raised as such by a few
// document operations); the others name what went wrong. Messages are fixed English texts,
// mostly "Operation --complaint".
class EPdfError : public std::runtime_error {
  public:
    explicit EPdfError(const std::string& message);
};

// A bad argument or value.
class EPdfInvalidValue : public EPdfError {
  public:
    using EPdfError::EPdfError;
};

// An operation the object's state does not allow.
class EPdfInvalidOperation : public EPdfError {
  public:
    using EPdfError::EPdfError;
};

// A picture that cannot become a PDF image.
class EPdfInvalidImageFormat : public EPdfError {
  public:
    using EPdfError::EPdfError;
};

// The class registry has nothing (of the wanted kind) under a name: "Class %s not found".
class EClassNotFound : public EPdfError {
  public:
    using EPdfError::EPdfError;
};

// An index outside a list: "List index out of bounds (%d)".
class EListError : public EPdfError {
  public:
    explicit EListError(long long index);
};
