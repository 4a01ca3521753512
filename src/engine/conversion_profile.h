#pragma once

#include "db/parameter_list.h"

#include <QString>
#include <QStringList>

namespace dovrelle {

// What a run does with a table that exists in Oracle already.
enum class ExistingTableAction {
    Overwrite,  // drop it and create it anew
    Merge,      // keep it and add the rows
    Skip,       // leave it alone
};

// The action of an entry of the radio group on page 4: 0 Overwrite, 2 Skip, any other entry
// (none chosen, -1, included) Merge.
ExistingTableAction existingTableActionAt(int entry);
// The entry of the radio group that chooses an action.
int entryOfExistingTableAction(ExistingTableAction action);

// Every setting of one conversion. Field names are the settings-file keys; the settings schema
// (settings/settings_schema.h) declares how each is read, written and shown.
struct ConversionProfile {
    int accessmode = 0;  // 0 local ("localhost"), 1 remote (host)
    QString host;
    QString port = QStringLiteral("3306");
    QString mysqldatabase;
    QString mysqlu;
    QString mysqlp;
    QString character_set = QStringLiteral("Default");
    QString oracleh;
    QString oracleu;
    QString oraclep;
    ExistingTableAction processtable = ExistingTableAction::Overwrite;
    bool tabledefonly = false;
    bool skipindex = false;
    bool nameuppercase = true;
    bool blobtotext = false;
    bool fullschema = false;  // "Keep full schema": exact types, NOT NULL, defaults, keys, comments
    bool verifyrows = false;  // "Verify copied rows": counts and checksums of both sides after the copy
    QStringList tables;
};

// The 36 named MySQL character sets, in the order the wizard lists them after "Default".
const QStringList& namedCharacterSets();

// "localhost" for local access, else the profile's host.
QString mysqlHostName(const ConversionProfile& profile);

// The parameter list of the MySQL catalog connection on `database`:
// Database, User_Name, Password, Port, HostName.
ParameterList catalogConnectionParameters(const ConversionProfile& profile, const QString& database);

// The parameter list of the MySQL data connection, set at the start of every
// run: Database, User_Name, Password, ServerCharSet (only for one of the named character sets),
// Port, HostName.
ParameterList dataConnectionParameters(const ConversionProfile& profile);

}  // namespace dovrelle
