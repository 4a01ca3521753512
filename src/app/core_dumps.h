#pragma once

namespace dovrelle {

// Turns core dumps off for this process: a dump would hold the passwords of the settings in
// plain text. Called first thing at start. Does nothing where the system has no such limit.
void disableCoreDumps();

}  // namespace dovrelle
