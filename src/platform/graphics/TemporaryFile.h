#pragma once

#include <chrono>
#include <string>

#include "platform/graphics/FileDescriptor.h"

namespace brevanto::graphics {

// A file written under a temporary name of the program's own ("<folder>/.~brevanto-<kind>-
// <random>.tmp") before it takes its real name, so nobody ever sees it half written. The name
// cannot be guessed and the file is created exclusively, so a link planted in the folder is
// never followed. The file stays locked while this object holds it, so that another program's
// clean-up leaves it alone, and it is removed (wherever it was moved to) unless kept.
class TemporaryFile {
  public:
    // EFCreateError "Cannot create file "<shownPath>". <reason>" when the folder takes no file.
    TemporaryFile(const std::string& folder, const std::string& kind, const std::string& shownPath);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_.get(); }
    const std::string& path() const { return path_; }
    // Another descriptor of the same open file (for a writer that closes its own).
    FileDescriptor duplicate(const std::string& shownPath) const;
    // Gives the file the name target unless that is taken (false).
    bool moveTo(const std::string& target);
    // Gives the file the name target, replacing what had it. EFCreateError naming target.
    void replace(const std::string& target);
    // The file has its final name: it stays.
    void keep() { kept_ = true; }

  private:
    std::string path_;
    FileDescriptor fd_;
    bool kept_ = false;
};

// Removes the program's temporary files in folder that are older than maxAge and that no
// running writer holds (a writer that was killed left them). Nothing here fails: a file that
// cannot be removed stays.
void removeStaleTemporaryFiles(const std::string& folder, std::chrono::seconds maxAge);

// How old a temporary file must be before a clean-up takes it; a setting for tests.
std::chrono::seconds staleTemporaryAge();
void setStaleTemporaryAge(std::chrono::seconds age);

// Writes a folder's entries (a rename into it) to the disk.
void syncFolderOf(const std::string& path);

}  // namespace brevanto::graphics
