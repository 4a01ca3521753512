#pragma once

#include "db/parameter_list.h"

#include <QString>
#include <memory>

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
    // True when the connection is open and the server still answers on it (it never reconnects).
    // Asked after a statement failed, to tell a lost connection from a refused statement.
    bool answers() const;
    // Ends the statement the connection is running, from a second connection with the same
    // parameters (KILL QUERY): a result that is being read then ends with an error at once, so
    // closing it does not read the rows the server has not sent yet. Callable from any thread
    // while another one reads the result. Best effort: when no second connection can be made after a
    // few tries, nothing changes.
    void cancelRunningStatement() const;

    // The character set the connection really uses (e.g. "utf8mb4", "latin1"); valid while open.
    // It is the set in which the server sends text, as the server reports it after logon; "binary"
    // when the server sends every text in the character set of its own column.
    QString characterSetName() const;
    // The character set in which statements are sent (the server's character_set_client). It
    // differs from characterSetName() for "binary", where statements go as UTF-8 bytes.
    // A ServerCharSet of two or four bytes a character (ucs2, utf16, utf32), which no server takes
    // from a client, gives a utf8mb4 connection.
    QString statementCharsetName() const { return statementCharset_; }

    st_mysql* handle() const { return handle_; }  // for MySqlQuery

    // A token that lives exactly as long as the current open session: a query holds it weakly, so it
    // knows whether the handle it read from is still the one its result belongs to.
    std::weak_ptr<const int> session() const { return session_; }

private:
    ParameterList params_;
    st_mysql* handle_ = nullptr;
    std::shared_ptr<const int> session_;
    QString resultCharset_;
    QString statementCharset_;
    unsigned long serverThreadId_ = 0;
};

}  // namespace dovrelle
