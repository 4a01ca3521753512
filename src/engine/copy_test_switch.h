#pragma once

namespace dovrelle {

// TEST-ONLY. Makes the row copy read FLOAT columns the way it once did: as the server's text
// protocol prints them, with 6 significant digits (16777216 arrives as 16777200). A test sets it
// to show that the verification of copied rows notices a copy that changes values. Nothing but a
// test calls it: no setting, settings file, command line or environment variable reaches it.
// Off at start; process-wide.
void setSixDigitFloatCopyForTests(bool on);
bool sixDigitFloatCopyForTests();

}  // namespace dovrelle
