#pragma once

#include "parameter_list.h"

#include <QString>
#include <QStringList>

namespace dovrelle {

// Every setting of one conversion. Field names are the settings-file keys.
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
    int processtable = 0;  // 0 Overwrite, 1 Merge, 2 Skip; any other value acts as Merge
    bool tabledefonly = false;
    bool skipindex = false;
    bool nameuppercase = true;
    bool blobtotext = false;
    QStringList tables;
};

// The 36 named MySQL character sets, in the order the wizard lists them after "Default".
const QStringList& namedCharacterSets();

// "localhost" for local access, else the profile's host.
QString mysqlHostName(const ConversionProfile& profile);

// The parameter list of the MySQL catalog connection (mysqlconnect) on `database`:
// Database, User_Name, Password, Port, HostName.
ParameterList catalogConnectionParameters(const ConversionProfile& profile, const QString& database);

// The parameter list of the MySQL data connection (mysqlsjbconnection), set at the start of every
// run: Database, User_Name, Password, ServerCharSet (only for one of the named character sets),
// Port, HostName.
ParameterList dataConnectionParameters(const ConversionProfile& profile);

}  // namespace dovrelle
