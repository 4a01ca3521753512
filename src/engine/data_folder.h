#pragma once

#include <QString>

namespace dovrelle {

// The current user's data folder of the program, with a trailing separator: on Windows the
// application data folder followed by "\Korvane Database Software\"; elsewhere $XDG_DATA_HOME
// (default ~/.local/share) followed by "/Korvane Database Software/".
QString dataFolder();

// Creates dataFolder() when it is missing (the program does this at start). Returns false when
// the folder neither exists nor can be made.
bool ensureDataFolder();

}  // namespace dovrelle
