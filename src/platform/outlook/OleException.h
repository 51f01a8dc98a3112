#pragma once

#include <stdexcept>
#include <string>

namespace outlook {

// An error raised by the mail automation: no usable mail profile ("Outlook not available"), a
// recipient or an attachment it cannot take, or a delivery the server refused. Its text is meant
// for the user and never holds the profile's password.
class EOleException : public std::runtime_error {
  public:
    explicit EOleException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace outlook
