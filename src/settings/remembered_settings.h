#pragma once

class QWidget;

namespace dovrelle {

// Puts the user's remembered settings into the wizard's controls (once, at start-up). Missing,
// empty or non-numeric choices fall back to the first entry; a missing text gives the empty
// text; a check box is checked exactly when its value is "1"; an empty port becomes "3306".
// Throws Error "Invalid data type for '<name>'" for a stored text value that is not text.
void loadRegistrySettings(QWidget& window);

// Writes the fifteen values from the controls (at every exit).
void saveRegistrySettings(QWidget& window);

}  // namespace dovrelle
