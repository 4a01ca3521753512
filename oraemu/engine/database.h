#pragma once

#include "sqlite_util.h"

#include <string>

namespace oraemu {

// Makes a new, empty database file; fails when the file exists.
void createDatabase(const std::string& path);

// Adds a user (its schema); the name folds like an unquoted identifier.
void addUser(const std::string& path, const std::string& name, const std::string& password);

// Puts the user's password into its grace period: logons still work, with ORA-28002 as a warning
// that it expires within `days` days. 0 ends the grace period.
void setPasswordGrace(const std::string& path, const std::string& name, int days);

// The days left of the user's grace period, 0 when the password is not about to expire.
int passwordGraceDays(sqlite3* db, const std::string& user);

// How long a statement waits for another session's write lock before it fails.
inline constexpr int busyTimeoutMs = 20000;

// Opens a connection to an existing database (WAL, busy timeout, the oranum collation);
// ORA-12154 when the file is no oraemu database.
SqliteDb openDatabase(const std::string& path);

}  // namespace oraemu
