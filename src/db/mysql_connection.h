#pragma once

#include "parameter_list.h"

#include <QString>

struct st_mysql;

namespace dovrelle {

// One connection to a MySQL or MariaDB server through MariaDB Connector/C.
// Parameters: Database, User_Name, Password, ServerCharSet (optional), Port, HostName.
// HostName "localhost" reaches the local server through its socket, as the client library does
// (the socket path may come from MYSQL_UNIX_PORT).
class MySqlConnection {
public:
    MySqlConnection();
    ~MySqlConnection();
    MySqlConnection(const MySqlConnection&) = delete;
    MySqlConnection& operator=(const MySqlConnection&) = delete;

    ParameterList& parameters() { return params_; }
    const ParameterList& parameters() const { return params_; }
    void setParameters(ParameterList params) { params_ = std::move(params); }

    void open();   // throws Error with the library's message ("Access denied for user ...")
    void close();  // closing a closed connection does nothing
    bool isOpen() const { return handle_ != nullptr; }

    // The character set the connection really uses (e.g. "utf8mb4", "latin1"); valid while open.
    QString characterSetName() const;

    st_mysql* handle() const { return handle_; }  // for MySqlQuery

private:
    ParameterList params_;
    st_mysql* handle_ = nullptr;
};

}  // namespace dovrelle
