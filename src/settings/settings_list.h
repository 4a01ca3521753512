#pragma once

namespace dovrelle {

class Taaform1;

// Puts the values of the window's settings list (valueListEditorbat) into its controls, in the
// order accessmode, the text fields, character_set, processtable, the check boxes. Throws Error
// "''<text>'' is not a valid integer value" when accessmode or processtable is no whole number;
// the values before it stay applied.
void applySettingsList(Taaform1& window);

// Chooses the tables on page 5 from the settings list: all available tables for alltables=1,
// otherwise each listed name that availabletables holds (letter case counting), in file order.
void selectSettingsTables(Taaform1& window);

}  // namespace dovrelle
