#pragma once

// The conversion profile of a test's two scratch databases. Header only: the engine library comes
// with the tests that include it.
#include "engine/conversion_profile.h"
#include "mysql_test_server.h"
#include "oraemu_test_db.h"

namespace testsupport {

// The logons of a profile: MySQL over TCP on the test server with the scratch database chosen,
// Oracle as the scratch schema's user. Everything else keeps the profile's defaults.
inline dovrelle::ConversionProfile scratchProfile(const ScratchMySqlDatabase& mysql,
                                                  const ScratchOracleDatabase& oracle)
{
    const MySqlTestServer& server = mysqlServer();
    dovrelle::ConversionProfile profile;
    profile.accessmode = 1;
    profile.host = server.host;
    profile.port = server.port;
    profile.mysqldatabase = mysql.name();
    profile.mysqlu = server.user;
    profile.mysqlp = server.password;
    profile.oracleh = oracle.service();
    profile.oracleu = oracle.user();
    profile.oraclep = oracle.password();
    return profile;
}

}  // namespace testsupport
