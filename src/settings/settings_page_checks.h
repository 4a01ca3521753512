#pragma once

#include "engine/conversion_profile.h"

#include <QString>

#include <functional>

namespace dovrelle {

class SettingsFileContent;

// How a run without pages goes through the pages' checks.
struct PageCheckSteps {
    bool logOnToOracle = true;          // page 3's logon; a check that writes nothing leaves it out
    std::function<void()> pageChecked;  // after pages 2, 3 and 5: where a stop can come in
};

// What the pages' checks found for a settings file.
struct SettingsPagesChecked {
    ConversionProfile profile;  // its database and tables as the server spells them
    QString notice;             // the message the walk halts on; the empty text when the run can start
};

// The settings file's profile checked page by page, in the order of the wizard's walk: the
// database name (page 2), the MySQL logon and the database the name chooses (page 2; none chosen
// fails as page 4 does), the Oracle logon (page 3), the database's tables (page 4) and the tables
// the file chooses among them (page 5). The pages' own checks (page_checks.h) do the work, on
// connections opened here. Throws Error with the message the failing page would show.
SettingsPagesChecked checkSettingsPages(const SettingsFileContent& settings, ConversionProfile profile,
                                        const PageCheckSteps& steps);

}  // namespace dovrelle
