#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brevanto::twaindsm {

// The source manager's selection dialog: the product names of the sources, the default one
// selected. Modal, owned by the application's active window, and run to its end before
// returning: the picked position, or nothing when the user cancelled. Requires a running Qt
// widget application (ScanDialog::guiAvailable()).
std::optional<std::size_t> runSelectSourceDialog(const std::vector<std::string>& names,
                                                 std::size_t defaultIndex);

}  // namespace brevanto::twaindsm
