#pragma once

// A settings file written from a profile as the shortcut dialog writes it, for the tests that
// start the program on one. Header only: the settings library comes with those tests.
#include "engine/conversion_profile.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"

namespace testsupport {

// Saves the profile as a settings file: its listed tables, or with allTables every table.
inline void saveProfileSettings(const QString& path, const dovrelle::ConversionProfile& profile, bool allTables)
{
    dovrelle::SettingsValues values = dovrelle::valuesFromProfile(profile);
    values.insert(QStringLiteral("alltables"), allTables ? QStringLiteral("1") : QStringLiteral("0"));
    dovrelle::saveSettingsFile(path, dovrelle::settingsFileLines(values, profile.tables));
}

}  // namespace testsupport
