#pragma once

#include "engine/conversion_profile.h"

#include <QString>
#include <QStringList>

namespace dovrelle {

class MySqlConnection;

// The first column of every row that a listing statement ("show databases", "show tables")
// returns on an open connection. Throws Error with the server's message.
QStringList listedNames(MySqlConnection& connection, const QString& statement);

// What the wizard's pages find out before a run, for a run without pages. Each opens its own
// connection, closes it again and throws Error with the message the page would show.

// Page 2: logs on to MySQL on the database typed into the profile, lists the server's databases
// and returns the one the typed name chooses, spelt as the server lists it. Page 4 fails with
// "List index out of bounds (-1)" when none is chosen.
QString chooseSourceDatabase(const ConversionProfile& profile);

// Page 3: logs on to Oracle with the profile's service, user and password.
void checkOracleLogon(const ConversionProfile& profile);

// Page 4: the tables of the profile's database, in the server's order.
QStringList listSourceTables(const ConversionProfile& profile);

}  // namespace dovrelle
