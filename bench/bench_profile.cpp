#include "bench_profile.h"

namespace bench {

dovrelle::ConversionProfile tableProfile(const MySqlServer& server, const QString& database,
                                         const OracleTarget& target, const QString& table)
{
    dovrelle::ConversionProfile profile;
    profile.accessmode = 1;
    profile.host = server.host;
    profile.port = server.port;
    profile.mysqldatabase = database;
    profile.mysqlu = server.user;
    profile.mysqlp = server.password;
    profile.oracleh = target.service;
    profile.oracleu = target.user;
    profile.oraclep = target.password;
    profile.tables = {table};
    return profile;
}

}  // namespace bench
