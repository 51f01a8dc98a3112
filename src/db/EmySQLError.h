#pragma once

#include <stdexcept>
#include <string>

// An error of the database access component. The component's own errors carry their text as it
// stands; an error the server or the client library reported begins with a Portuguese sentence
// saying what failed and what to do, followed by the server's own text.
class EmySQLError : public std::runtime_error {
  public:
    explicit EmySQLError(const std::string& message, unsigned int code = 0)
        : std::runtime_error(message), code_(code), serverText_(code != 0 ? message : "") {}

    // The connection to the server at host could not be made.
    static EmySQLError Connect(const std::string& host, const std::string& serverText,
                               unsigned int code);
    // A statement failed: the connection was lost, or the server refused it.
    static EmySQLError Statement(const std::string& serverText, unsigned int code);

    // The server's or the client library's error number; 0 for the component's own errors.
    unsigned int Code() const { return code_; }
    // The server's or the client library's own text, without the sentence before it.
    const std::string& ServerText() const { return serverText_; }
    // The connection broke (the server went away or closed it).
    bool ConnectionLost() const;

  private:
    EmySQLError(const std::string& message, unsigned int code, std::string serverText)
        : std::runtime_error(message), code_(code), serverText_(std::move(serverText)) {}

    unsigned int code_;
    std::string serverText_;
};
