#include "settings/settings_page_checks.h"

#include "db/mysql_connection.h"
#include "db/oracle_connection.h"
#include "engine/page_checks.h"
#include "settings/settings_file_content.h"

namespace dovrelle {

SettingsPagesChecked checkSettingsPages(const SettingsFileContent& settings, ConversionProfile profile,
                                        const PageCheckSteps& steps)
{
    const auto pageChecked = [&steps] {
        if (steps.pageChecked)
            steps.pageChecked();
    };
    if (QString notice = databaseNameNotice(profile.mysqldatabase); !notice.isEmpty())
        return {profile, notice};
    MySqlConnection catalog;
    catalog.setParameters(catalogConnectionParameters(profile, profile.mysqldatabase));
    catalog.open();
    const DatabaseListing listing = listDatabases(catalog, profile.mysqldatabase);
    if (listing.preselected < 0)
        throw noDatabaseChosen();
    profile.mysqldatabase = listing.databases[listing.preselected];
    pageChecked();

    if (steps.logOnToOracle) {
        OracleConnection oracle;
        logOnToOracle(oracle, profile.oracleh, profile.oracleu, profile.oraclep);
        pageChecked();
    }

    const QStringList available = listDatabaseTables(catalog, profile.mysqldatabase);
    if (QString notice = settings.noTableToConvertMessage(available, profile.mysqldatabase); !notice.isEmpty())
        return {profile, notice};
    profile.tables = settings.chosenTables(available);
    pageChecked();
    return {profile, {}};
}

}  // namespace dovrelle
