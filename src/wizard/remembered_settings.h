#pragma once

class QWidget;

namespace dovrelle {

// Puts the user's remembered settings into the wizard's controls (once, at start-up), row by row
// of the settings schema in the store's order. Missing, empty or non-numeric choices fall back to
// the first entry; a missing text gives the empty text; a check box is checked exactly when its
// value is "1"; a text field left empty gets its default (the port "3306").
// Throws Error "Invalid data type for '<name>'" for a stored text value that is not text.
void loadRememberedSettings(QWidget& window);

// Writes the remembered values from the controls (at every exit).
void saveRememberedSettings(QWidget& window);

}  // namespace dovrelle
