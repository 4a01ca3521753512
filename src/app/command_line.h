#pragma once

#include <optional>

namespace dovrelle {

// Handles the options that are no settings path: --help, --version and --headless SETTINGS
// (which runs the whole conversion without a display), with --language cn|en before or after
// them. Returns the exit status when an option was handled, nothing when the program should
// start its window as usual.
std::optional<int> runCommandLineOptions(int argc, char** argv);

}  // namespace dovrelle
