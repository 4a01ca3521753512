#pragma once

#include "sqlite_util.h"

#include <string>

namespace oraemu {

// Makes a new, empty database file; fails when the file exists.
void createDatabase(const std::string& path);

// Adds a user (its schema); the name folds like an unquoted identifier.
void addUser(const std::string& path, const std::string& name, const std::string& password);

// Opens a connection to an existing database (WAL, busy timeout, the oranum collation);
// ORA-12154 when the file is no oraemu database.
SqliteDb openDatabase(const std::string& path);

}  // namespace oraemu
