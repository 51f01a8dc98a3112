#pragma once

#include <string>
#include <vector>

namespace outlook {

struct TMailProfile;

// Hands one message to the profile's SMTP server (libcurl), with the envelope sender and
// recipients given as bare addresses. Returns once the server has accepted the message; a
// refusal or any other failure raises EOleException with the server's reply. Nothing is accepted
// unless every recipient is, and the password never appears in the error.
void DeliverBySmtp(const TMailProfile& profile, const std::string& mailFrom,
                   const std::vector<std::string>& recipients, const std::string& message);

// The text with every occurrence of the secret replaced by "****".
std::string WithoutSecret(std::string text, const std::string& secret);

}  // namespace outlook
