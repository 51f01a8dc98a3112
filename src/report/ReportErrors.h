#pragma once

#include <stdexcept>

// The toolkit's invalid-typecast error: a control asked for its page outside a page.
class EInvalidCast : public std::runtime_error {
  public:
    EInvalidCast() : std::runtime_error("Invalid class typecast") {}
};

// The toolkit's invalid-operation error.
class EInvalidOperation : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

// A file stream that could not write.
class EWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
