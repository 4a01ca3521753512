#pragma once

#include <QString>

namespace dovrelle {

// The run's warning line about an Oracle database whose character set (NLS_CHARACTERSET) is not
// AL32UTF8: which characters such a database replaces or stores in more bytes. Empty for
// AL32UTF8, and for a set the server would not tell.
QString characterSetWarning(const QString& databaseCharacterSet);

}  // namespace dovrelle
