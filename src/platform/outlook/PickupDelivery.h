#pragma once

#include <string>

namespace outlook {

// Writes one message as one complete .eml file into the folder: written under a hidden temporary
// name, flushed to disk, then renamed, so a reader of the folder never sees part of a message.
// Returns the file's path; EOleException when it cannot be written (nothing is left behind).
std::string DeliverToPickupFolder(const std::string& folder, const std::string& message);

}  // namespace outlook
