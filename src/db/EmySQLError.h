#pragma once

#include <stdexcept>
#include <string>

// An error of the database access component: the text is the server's or the client library's
// own, shown to the user as it stands.
class EmySQLError : public std::runtime_error {
  public:
    explicit EmySQLError(const std::string& message, unsigned int code = 0)
        : std::runtime_error(message), code_(code) {}

    // The server's or the client library's error number; 0 for the component's own errors.
    unsigned int Code() const { return code_; }

  private:
    unsigned int code_;
};
